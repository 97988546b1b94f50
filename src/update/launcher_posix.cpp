// Starting the hand-over programs outside Windows: posix_spawn from a short-lived
// intermediate process, so the started program is never waited for and never left as a
// zombie of the installer; the file explorer is the desktop's file manager over D-Bus,
// else xdg-open on the folder.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "text/toolbox.h"
#include "update/launcher.h"

extern char** environ;

namespace kelv {
namespace {

// Runs argv[0] (a path) with argv detached: the intermediate child spawns it and ends at
// once; true when the spawn succeeded.
bool SpawnDetached(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    pid_t grandchild = 0;
    const int rc = ::posix_spawn(&grandchild, argv[0], nullptr, nullptr, argv.data(), environ);
    ::_exit(rc == 0 ? 0 : 127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The full path of an executable found in PATH, or "".
std::string FindInPath(const std::string& name) {
  const std::optional<std::string> path = GetEnv("PATH");
  if (!path) return std::string();
  for (const std::string& dir : Split(*path, ":")) {
    if (dir.empty()) continue;
    const std::string candidate = JoinSep(dir, name);
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

bool SessionBusAvailable() {
  if (GetEnv("DBUS_SESSION_BUS_ADDRESS")) return true;
  const std::optional<std::string> runtime = GetEnv("XDG_RUNTIME_DIR");
  return runtime && PathExists(JoinSep(*runtime, "bus"));
}

class PosixLauncher : public ProgramLauncher {
 public:
  bool StartProgram(const std::string& program, const std::string& argument) override {
    return SpawnDetached({program, argument});
  }

  bool ShowInFileExplorer(const std::string& path) override {
    const std::string folder = FolderOf(path).empty() ? std::string(".") : FolderOf(path);
    const std::string xdgOpen = FindInPath("xdg-open");
    const std::string gdbus = FindInPath("gdbus");
    if (!gdbus.empty() && SessionBusAvailable()) {
      // The file manager shows the file selected; when none answers, the folder is opened.
      // Paths travel as positional parameters, never inside the script text.
      return SpawnDetached(
          {"/bin/sh", "-c",
           "\"$1\" call --session --dest org.freedesktop.FileManager1 "
           "--object-path /org/freedesktop/FileManager1 "
           "--method org.freedesktop.FileManager1.ShowItems \"$2\" '' >/dev/null 2>&1 "
           "|| { [ -n \"$3\" ] && exec \"$3\" \"$4\"; }",
           "sh", gdbus, "['" + FileUri(path) + "']", xdgOpen, folder});
    }
    if (!xdgOpen.empty()) return SpawnDetached({xdgOpen, folder});
    return false;
  }
};

}  // namespace

std::unique_ptr<ProgramLauncher> NativeLauncher() { return std::make_unique<PosixLauncher>(); }

}  // namespace kelv
