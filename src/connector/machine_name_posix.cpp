// LocalMachineName on Linux: computername when set, else the host name.
#include "connector/machine_name.h"

#include <unistd.h>

#include "platform/files.h"

namespace kelv {

std::string LocalMachineName() {
  if (auto name = GetEnv("computername")) return *name;
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return std::string();
  return buffer;
}

}  // namespace kelv
