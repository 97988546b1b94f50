// The installer's argument text on Windows: the process command line less the program name.
#include <windows.h>

#include "platform/wide_text.h"
#include "update/command_line.h"

namespace kelv {

std::string OwnArgumentText(int, char**) {
  return ArgumentsOfCommandLine(WideToUtf8(GetCommandLineW()));
}

}  // namespace kelv
