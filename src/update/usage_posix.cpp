// The installer's usage text outside Windows: on standard output.
#include <cstdio>

#include "update/usage.h"

namespace kelv {

void ShowUsage(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace kelv
