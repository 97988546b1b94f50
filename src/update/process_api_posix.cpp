// The process list outside Windows, read from /proc: a process is known by the file name of
// its executable (/proc/PID/exe) and of its argv[0] (/proc/PID/cmdline), so a program run
// under Wine as KelvPersonal.exe is seen too.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "update/process_api.h"

namespace kelv {
namespace {

std::string ProcPath(std::uint32_t id, const char* entry) {
  return "/proc/" + std::to_string(id) + "/" + entry;
}

// '/' becomes '\', the separator the file-name comparison splits at.
std::string WithBackslashes(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The first NUL-terminated string of a /proc file (argv[0] of cmdline), or "".
std::string FirstString(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::string();
  char buf[PATH_MAX];
  ssize_t n = ::read(fd, buf, sizeof buf);
  ::close(fd);
  if (n <= 0) return std::string();
  std::string s(buf, static_cast<std::size_t>(n));
  return s.substr(0, s.find('\0'));
}

class ProcFsApi : public ProcessApi {
 public:
  std::int32_t PlatformId() override {
    struct stat st;
    return ::stat("/proc/self/cmdline", &st) == 0 ? 2 : 0;
  }

  bool EnumProcesses(std::vector<std::uint32_t>& ids, std::uint32_t& returnedBytes) override {
    DIR* dir = ::opendir("/proc");
    if (dir == nullptr) return false;
    std::size_t count = 0;
    while (count < ids.size()) {
      const dirent* e = ::readdir(dir);
      if (e == nullptr) break;
      char* end = nullptr;
      const unsigned long id = std::strtoul(e->d_name, &end, 10);
      if (end == e->d_name || *end != '\0' || id == 0) continue;
      ids[count++] = static_cast<std::uint32_t>(id);
    }
    ::closedir(dir);
    returnedBytes = static_cast<std::uint32_t>(count * 4);
    return true;
  }

  Handle OpenProcess(std::uint32_t id) override {
    struct stat st;
    return ::stat(ProcPath(id, "").c_str(), &st) == 0 ? id : 0;
  }

  bool MainModulePaths(Handle process, std::vector<std::string>& paths) override {
    const auto id = static_cast<std::uint32_t>(process);
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(ProcPath(id, "exe").c_str(), buf, sizeof buf - 1);
    if (n > 0) paths.push_back(WithBackslashes(std::string(buf, static_cast<std::size_t>(n))));
    std::string argv0 = FirstString(ProcPath(id, "cmdline"));
    if (!argv0.empty()) paths.push_back(WithBackslashes(std::move(argv0)));
    return !paths.empty();
  }

  std::int32_t GetProcessMemoryInfo(Handle process) override {
    struct stat st;
    return ::stat(ProcPath(static_cast<std::uint32_t>(process), "statm").c_str(), &st) == 0;
  }

  void CloseHandle(Handle) override {}
};

}  // namespace

std::unique_ptr<ProcessApi> NativeProcessApi() { return std::make_unique<ProcFsApi>(); }

}  // namespace kelv
