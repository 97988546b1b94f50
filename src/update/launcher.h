// Starting the program the installation hands over to, without waiting for it (all OSes):
// the application's updater, or the file explorer with the package selected.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kelv {

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts program with the single argument text, in a normal window with the focus, and
  // returns without waiting. True when the program started.
  virtual bool StartProgram(const std::string& program, const std::string& argument) = 0;
  // Opens the file explorer on the file's folder with the file selected, without waiting.
  // True when the explorer started.
  virtual bool ShowInFileExplorer(const std::string& path) = 0;
};

// The launcher of this system: CreateProcessW on Windows (the explorer is Explorer.EXE
// /select); elsewhere posix_spawn, and the desktop's file manager through D-Bus
// (org.freedesktop.FileManager1.ShowItems) or else xdg-open on the folder.
std::unique_ptr<ProgramLauncher> NativeLauncher();

// A Windows command line that runs program with argument: the program path on its own and
// quoted, then a blank and the argument text unchanged ("C:\A B\U.exe" ORI=...).
std::string WindowsCommandLine(std::string_view program, std::string_view argument);

// The explorer's command line on Windows: Explorer.EXE /select, "path".
std::string ExplorerCommandLine(std::string_view path);

// A file: URI for an absolute path, every byte outside the unreserved set and '/'
// percent-encoded.
std::string FileUri(std::string_view path);

}  // namespace kelv
