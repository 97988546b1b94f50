// Starting the hand-over programs on Windows: CreateProcessW in a normal window, handles
// closed at once, nothing waited for.
#include <windows.h>

#include "platform/wide_text.h"
#include "update/launcher.h"

namespace kelv {
namespace {

bool Start(const wchar_t* application, std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

class Win32Launcher : public ProgramLauncher {
 public:
  bool StartProgram(const std::string& program, const std::string& argument) override {
    return Start(Utf8ToWide(program).c_str(), Utf8ToWide(WindowsCommandLine(program, argument)));
  }

  bool ShowInFileExplorer(const std::string& path) override {
    return Start(nullptr, Utf8ToWide(ExplorerCommandLine(path)));
  }
};

}  // namespace

std::unique_ptr<ProgramLauncher> NativeLauncher() { return std::make_unique<Win32Launcher>(); }

}  // namespace kelv
