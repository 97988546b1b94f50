// The executable's own version outside Windows: the project version compiled in.
#include "update/version_number.h"

namespace kelv {

FileVersion OwnFileVersion() {
  return FileVersion{KELV_VERSION_MAJOR, KELV_VERSION_MINOR, KELV_VERSION_PATCH,
                     KELV_VERSION_TWEAK};
}

}  // namespace kelv
