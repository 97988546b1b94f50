// Stand-in for the application's updater in the Windows end-to-end runs: writes the command
// line it was started with (GetCommandLineW, as UTF-8) to updater-cmdline.txt beside itself.
// Started with SLEEP in its arguments it instead stays running for a minute, as a program
// of the application that is still open.
#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

int main() {
  const std::string line = kelv::WideToUtf8(GetCommandLineW());
  if (line.find(" SLEEP") != std::string::npos) {
    Sleep(60000);
    return 0;
  }
  kelv::WriteFileReplacing(kelv::JoinSep(kelv::ExecutableFolder(), "updater-cmdline.txt"), line);
  return 0;
}
