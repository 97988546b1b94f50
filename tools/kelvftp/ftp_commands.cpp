// The commands of kelvftp over one connected cFTP (all OSes).
#include "ftp_commands.h"

#include <cstdio>
#include <iomanip>

#include "ftp/file_time.h"
#include "text/terminal_text.h"

namespace kelv {

std::string AttributeLetters(const cDirItem& item) {
  const bool flags[] = {item.ReadOnly, item.Hidden,    item.System,     item.Directory, item.Archive,
                        item.Normal,   item.Temporary, item.Compressed, item.Offline};
  const char letters[] = "RHSDANTCO";
  std::string out;
  for (int i = 0; i < 9; ++i) out += flags[i] ? letters[i] : '-';
  return out;
}

std::string DateValueText(double dateValue) {
  int y, m, d, h, mi, s;
  DateValueToCivil(dateValue, y, m, d, h, mi, s);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, mi, s);
  return buffer;
}

bool KnownCommand(const std::string& command, std::size_t& minArgs, std::size_t& maxArgs) {
  struct Entry { const char* name; std::size_t min, max; };
  static const Entry kCommands[] = {
      {"ls", 0, 1}, {"get", 2, 2},   {"put", 2, 2}, {"rm", 1, 1},   {"mv", 2, 2},
      {"mkdir", 1, 1}, {"rmdir", 1, 1}, {"pwd", 0, 0}, {"size", 1, 1},
  };
  for (const Entry& e : kCommands) {
    if (command == e.name) {
      minArgs = e.min;
      maxArgs = e.max;
      return true;
    }
  }
  return false;
}

bool RunFtpCommand(cFTP& ftp, const std::string& command, const std::vector<std::string>& args,
                   const FtpCommandOptions& options, std::ostream& out, std::string& error) {
  if (command == "ls") {
    const std::string before = ftp.GetLastErrorMessage();
    auto list = ftp.GetDirectoryListing(args.empty() ? "*" : args[0]);
    if (!list) return ftp.GetLastErrorMessage() == before;  // nothing matched is no failure
    for (const cDirItem& item : list->NewEnum()) {
      out << AttributeLetters(item) << ' ' << std::setw(12) << item.FileSize << ' '
          << DateValueText(item.LastWriteTime) << ' ' << EscapeControls(item.Filename) << '\n';
    }
    return true;
  }
  if (command == "get") {
    if (!options.chunked) return ftp.SimpleFTPGetFile(args[1], args[0]);
    if (ftp.FTPDownloadFile(args[1], args[0])) return true;
    if (ftp.GetLastErrorMessage().empty()) error = args[0] + ": missing or empty, nothing downloaded";
    return false;
  }
  if (command == "put") {
    return options.chunked ? ftp.FTPUploadFile(args[0], args[1])
                           : ftp.SimpleFTPPutFile(args[0], args[1]);
  }
  if (command == "rm") return ftp.DeleteFTPFile(args[0]);
  if (command == "mv") return ftp.RenameFTPFile(args[0], args[1]);
  if (command == "mkdir") return ftp.CreateFTPDirectory(args[0]);
  if (command == "rmdir") return ftp.RemoveFTPDirectory(args[0]);
  if (command == "pwd") {
    const std::string dir = ftp.GetFTPDirectory();
    if (dir.empty()) return false;
    out << EscapeControls(dir) << '\n';
    return true;
  }
  if (command == "size") {
    const std::int32_t size = ftp.GetFTPFileSize(args[0]);
    if (size == -1) {
      error = args[0] + ": no such file";
      return false;
    }
    if (size < 0) return false;
    out << size << '\n';
    return true;
  }
  error = "unknown command: " + command;
  return false;
}

}  // namespace kelv
