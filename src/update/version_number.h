// The installer's version number: the executable's own file version and the number the
// updater receives (all OSes).
#pragma once

#include <cstdint>

namespace kelv {

struct FileVersion {
  int Major = 0;
  int Minor = 0;
  int Build = 0;
  int Revision = 0;
};

// The running executable's file version: on Windows its VERSIONINFO resource, elsewhere
// the project version compiled in. All zero when it cannot be read.
FileVersion OwnFileVersion();

// The decimal number made of the major number, the minor number written with at least two
// digits and the revision written with at least two digits: 4.1.0.61 gives 40161, 10.2.0.5
// gives 100205, 4.1.0.123 gives 401123. The build number takes no part. A number that does
// not fit 32 bits throws KelvError(kErrOverflow).
std::int32_t NumVersionDe(const FileVersion& version);

}  // namespace kelv
