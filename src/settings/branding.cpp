// The product name of the branding file (all OSes).
#include "settings/branding.h"

#include "settings/string_cipher.h"
#include "text/toolbox.h"

namespace kelv {

std::string DecipherProductName(std::string_view v) {
  if (v.empty()) return std::string(kDefaultProductName);
  std::string name = EncDesEnc(v, true, true, 1, kProductNameKey);
  name = Replace(name, "RURU", "");
  return Replace(name, " QWTZM", "");
}

}  // namespace kelv
