// The name of the machine that runs the program (one back-end per OS).
#pragma once

#include <string>

namespace kelv {

// The environment variable computername when it is set (also when empty); otherwise the
// system's own name for the machine (GetComputerNameW on Windows, gethostname elsewhere),
// or "" when that cannot be had.
std::string LocalMachineName();

}  // namespace kelv
