// The updater's version number from the executable's file version (all OSes).
#include "update/version_number.h"

#include <cstdio>
#include <string>

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

std::int32_t NumVersionDe(const FileVersion& version) {
  char minor[16];
  char revision[16];
  std::snprintf(minor, sizeof minor, "%02d", version.Minor);
  std::snprintf(revision, sizeof revision, "%02d", version.Revision);
  const std::string digits = std::to_string(version.Major) + minor + revision;
  return ToInt32Rounded(Val(digits));
}

}  // namespace kelv
