// kelvftp: a command-line FTP client over cFTP (all OSes).
//
//   kelvftp [--passive] [--binary] [--chunked] [--user U] [--password P] HOST[:PORT] COMMAND [ARGS]
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "ftp_commands.h"
#include "platform/version.h"
#include "terminal.h"
#include "text/error.h"

namespace {

const char kUsage[] =
    "usage: kelvftp [OPTIONS] HOST[:PORT] COMMAND [ARGS]\n"
    "\n"
    "Runs one command on an FTP server (port 21 unless HOST:PORT says otherwise).\n"
    "\n"
    "Commands:\n"
    "  ls [PATTERN]        list the current folder, or the entries matching PATTERN\n"
    "                      ('*' and '?'; a folder part like sub/*.txt lists that folder):\n"
    "                      attributes (RHSDANTCO), size, last write, name\n"
    "  get REMOTE LOCAL    download REMOTE to LOCAL (LOCAL is replaced only when complete)\n"
    "  put LOCAL REMOTE    upload LOCAL as REMOTE\n"
    "  rm REMOTE           delete a remote file\n"
    "  mv FROM TO          rename a remote file\n"
    "  mkdir DIR           create a remote folder\n"
    "  rmdir DIR           remove an empty remote folder\n"
    "  pwd                 print the remote current folder\n"
    "  size REMOTE         print the size of a remote file\n"
    "\n"
    "Options:\n"
    "  --passive           passive data connections (default: active)\n"
    "  --binary            binary transfers (default: ASCII)\n"
    "  --chunked           transfer in 255-byte chunks, showing progress on a terminal\n"
    "  --user U            user name (default: anonymous)\n"
    "  --password P        password (default: empty)\n"
    "  --help              show this text\n"
    "\n"
    "Exit status: 0 on success, 1 when the command failed (the reason on standard error),\n"
    "2 for a wrong command line.\n";

int UsageError(const std::string& message) {
  std::cerr << "kelvftp: " << message << "\n\n" << kUsage;
  return 2;
}

// Draws "[#####.....]  45%  1234/5678 bytes" over itself on standard error.
void DrawProgress(std::int32_t current, std::int32_t total) {
  const int width = 30;
  const double part = total > 0 ? static_cast<double>(current) / total : 1.0;
  const int filled = static_cast<int>(part * width);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(width - filled), '.');
  std::fprintf(stderr, "\r[%s] %3d%%  %d/%d bytes", bar.c_str(), static_cast<int>(part * 100),
               current, total);
  if (current >= total) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelv;
  if (ShowVersionIfAsked(argc, argv, "kelvftp")) return 0;
  bool passive = false, binary = false;
  FtpCommandOptions options;
  std::string user = "anonymous", password;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--passive") {
      passive = true;
    } else if (a == "--binary") {
      binary = true;
    } else if (a == "--chunked") {
      options.chunked = true;
    } else if (a == "--user" || a == "--password") {
      if (i + 1 >= argc) return UsageError(a + " needs a value");
      (a == "--user" ? user : password) = argv[++i];
    } else if (a.size() > 2 && a.rfind("--", 0) == 0 && positional.empty()) {
      return UsageError("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() < 2) return UsageError("a host and a command are needed");
  const std::string host = positional[0], command = positional[1];
  const std::vector<std::string> args(positional.begin() + 2, positional.end());
  std::size_t minArgs = 0, maxArgs = 0;
  if (!KnownCommand(command, minArgs, maxArgs)) return UsageError("unknown command " + command);
  if (args.size() < minArgs || args.size() > maxArgs) {
    return UsageError("wrong number of arguments for " + command);
  }

  try {
    cFTP ftp;
    if (passive) ftp.SetModePassive();
    if (binary) ftp.SetTransferBinary();
    if (options.chunked && StderrIsTerminal()) {
      ftp.OnFileTransferProgress([](std::int32_t& cur, std::int32_t& total) { DrawProgress(cur, total); });
    }
    if (!ftp.OpenConnection(host, user, password, "", "")) {
      std::cerr << "kelvftp: " << ftp.GetLastErrorMessage() << '\n';
      return 1;
    }
    std::string error;
    const bool ok = RunFtpCommand(ftp, command, args, options, std::cout, error);
    std::cout.flush();
    if (!ok) {
      std::cerr << "kelvftp: " << (error.empty() ? ftp.GetLastErrorMessage() : error) << '\n';
      return 1;
    }
    return 0;
  } catch (const KelvError& e) {
    std::cerr << "kelvftp: " << e.what() << '\n';
    return 1;
  }
}
