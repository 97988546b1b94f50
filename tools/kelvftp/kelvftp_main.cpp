// kelvftp: a command-line FTP client over cFTP (all OSes).
//
//   kelvftp [--passive] [--binary] [--chunked] [--user U] [--password P] [--netrc]
//           [--netrc-file F] [--stall-timeout S] HOST[:PORT] COMMAND [ARGS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "ftp/server_address.h"
#include "ftp_commands.h"
#include "netrc.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/version.h"
#include "terminal.h"
#include "text/error.h"
#include "text/terminal_text.h"

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
    "Names holding a carriage return, a line feed or a NUL are refused before anything is\n"
    "sent. Control characters in names and replies from the server are shown escaped (an\n"
    "escape character as \\x1b).\n"
    "\n"
    "Options:\n"
    "  --passive           passive data connections (default: active)\n"
    "  --binary            binary transfers (default: ASCII)\n"
    "  --chunked           transfer in 255-byte chunks, showing progress on a terminal\n"
    "  --user U            user name (default: the .netrc login with --netrc, else anonymous)\n"
    "  --password P        password; visible to other users of the machine (ps), so prefer\n"
    "                      KELVFTP_PASSWORD or --netrc\n"
    "  --netrc             take the login and password for HOST from ~/.netrc (as curl does:\n"
    "                      the 'machine HOST' entry, with 'login U' when --user U is given,\n"
    "                      else the 'default' entry)\n"
    "  --netrc-file F      the same, from the file F\n"
    "  --stall-timeout S   give up a transfer or listing that moves no data for S seconds\n"
    "                      (default 60)\n"
    "  --help              show this text\n"
    "  --version           show the program's version\n"
    "\n"
    "The password is the first of: --password, the .netrc entry (with --netrc or\n"
    "--netrc-file), the environment variable KELVFTP_PASSWORD, the empty password.\n"
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
  double part = total > 0 ? static_cast<double>(current) / total : 1.0;
  if (part > 1.0) part = 1.0;
  if (part < 0.0) part = 0.0;
  const int filled = static_cast<int>(part * width);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(width - filled), '.');
  std::fprintf(stderr, "\r[%s] %3d%%  %d/%d bytes", bar.c_str(), static_cast<int>(part * 100),
               current, total);
  if (current >= total) std::fputc('\n', stderr);
  std::fflush(stderr);
}

// The text of the user's own .netrc: HOME (or USERPROFILE on Windows), ".netrc" or "_netrc".
std::optional<std::string> ReadOwnNetrc() {
  for (const char* home : {"HOME", "USERPROFILE"}) {
    const std::optional<std::string> folder = kelv::GetEnv(home);
    if (!folder || folder->empty()) continue;
    for (const char* name : {".netrc", "_netrc"}) {
      if (auto text = kelv::ReadFileBytes(kelv::JoinSep(*folder, name))) return text;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelv;
  if (ShowVersionIfAsked(argc, argv, "kelvftp")) return 0;
  bool passive = false, binary = false, netrc = false;
  FtpCommandOptions options;
  std::optional<std::string> user, password, netrcFile;
  std::optional<std::chrono::seconds> stallTimeout;
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
    } else if (a == "--netrc") {
      netrc = true;
    } else if (a == "--user" || a == "--password" || a == "--netrc-file" ||
               a == "--stall-timeout") {
      if (i + 1 >= argc) return UsageError(a + " needs a value");
      const std::string value = argv[++i];
      if (a == "--user") {
        user = value;
      } else if (a == "--password") {
        password = value;
      } else if (a == "--netrc-file") {
        netrcFile = value;
      } else {
        char* end = nullptr;
        const long seconds = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || seconds < 1 || seconds > 86400) {
          return UsageError("--stall-timeout needs a number of seconds from 1 to 86400");
        }
        stallTimeout = std::chrono::seconds(seconds);
      }
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

  if (netrc || netrcFile) {
    std::optional<std::string> text =
        netrcFile ? ReadFileBytes(*netrcFile) : ReadOwnNetrc();
    if (netrcFile && !text) return UsageError("cannot read " + *netrcFile);
    const std::optional<NetrcLogin> login =
        FindNetrcLogin(text.value_or(""), SplitServerAddress(host).host, user.value_or(""));
    if (login) {
      if (!user && !login->login.empty()) user = login->login;
      if (!password) password = login->password;
    }
  }
  if (!password) password = GetEnv("KELVFTP_PASSWORD");

  try {
    cFTP ftp;
    if (passive) ftp.SetModePassive();
    if (binary) ftp.SetTransferBinary();
    if (stallTimeout) ftp.SetNoProgressLimit(*stallTimeout);
    if (options.chunked && StderrIsTerminal()) {
      ftp.OnFileTransferProgress([](std::int32_t& cur, std::int32_t& total) { DrawProgress(cur, total); });
    }
    if (!ftp.OpenConnection(host, user.value_or("anonymous"), password.value_or(""), "", "")) {
      std::cerr << "kelvftp: " << EscapeControls(ftp.GetLastErrorMessage()) << '\n';
      return 1;
    }
    std::string error;
    const bool ok = RunFtpCommand(ftp, command, args, options, std::cout, error);
    std::cout.flush();
    if (!ok) {
      std::cerr << "kelvftp: " << EscapeControls(error.empty() ? ftp.GetLastErrorMessage() : error)
                << '\n';
      return 1;
    }
    return 0;
  } catch (const KelvError& e) {
    std::cerr << "kelvftp: " << EscapeControls(e.what()) << '\n';
    return 1;
  }
}
