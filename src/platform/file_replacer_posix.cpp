// The OS services behind FileReplacer: the POSIX (Linux) implementation.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/file_replacer_os.h"

namespace kelv {
namespace {

// Symbolic links followed one after another before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

bool Failed(std::string& error) {
  error = std::strerror(errno);
  return false;
}

int Fd(const OsFile& file) { return static_cast<int>(file.Handle()); }

// The target of the symbolic link at path, resolved against the link's folder; empty when
// it cannot be read.
std::string LinkTarget(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof buf)) return std::string();
  const std::filesystem::path to(std::string(buf, static_cast<std::size_t>(n)));
  if (to.is_absolute()) return to.string();
  return (std::filesystem::path(path).parent_path() / to).string();
}

}  // namespace

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    if (IsOpen()) ::close(Fd(*this));
    handle_ = other.handle_;
    other.handle_ = kClosed;
  }
  return *this;
}

OsFile::~OsFile() {
  if (IsOpen()) ::close(Fd(*this));
}

bool OsFile::Write(const char* data, std::size_t size, std::string& error) {
  while (size > 0) {
    const ssize_t n = ::write(Fd(*this), data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(error);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OsFile::Read(char* data, std::size_t size, std::size_t& got, std::string& error) {
  for (;;) {
    const ssize_t n = ::read(Fd(*this), data, size);
    if (n >= 0) {
      got = static_cast<std::size_t>(n);
      return true;
    }
    if (errno != EINTR) return Failed(error);
  }
}

bool OsFile::Seek(std::uint64_t offset, std::string& error) {
  if (::lseek(Fd(*this), static_cast<off_t>(offset), SEEK_SET) < 0) return Failed(error);
  return true;
}

bool OsFile::Truncate(std::uint64_t size, std::string& error) {
  if (::ftruncate(Fd(*this), static_cast<off_t>(size)) != 0) return Failed(error);
  return true;
}

bool OsFile::Sync(std::string& error) {
  if (::fsync(Fd(*this)) != 0) return Failed(error);
  return true;
}

void OsFile::StartWriteBack(std::uint64_t offset, std::uint64_t size) {
  ::sync_file_range(Fd(*this), static_cast<off64_t>(offset), static_cast<off64_t>(size),
                    SYNC_FILE_RANGE_WRITE);
}

bool OsFile::Size(std::uint64_t& size, std::string& error) {
  struct stat st;
  if (::fstat(Fd(*this), &st) != 0) return Failed(error);
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool OsFile::Close(std::string& error) {
  const int fd = Fd(*this);
  handle_ = kClosed;
  if (::close(fd) != 0 && errno != EINTR) return Failed(error);
  return true;
}

ReplaceTarget InspectTarget(const std::string& path, const std::string& permissionsFrom) {
  ReplaceTarget t;
  t.path = path;
  struct stat st;
  for (int hops = 0;; ++hops) {
    if (::lstat(t.path.c_str(), &st) != 0) break;  // nothing there (a dangling link's target)
    if (S_ISLNK(st.st_mode)) {
      const std::string next = LinkTarget(t.path);
      if (hops < kMaxLinks && !next.empty()) {
        t.path = next;
        continue;
      }
    }
    t.exists = true;
    t.regular = S_ISREG(st.st_mode);
    t.linked = st.st_nlink > 1;
    t.mode = st.st_mode & 07777;
    t.owner = st.st_uid;
    t.group = st.st_gid;
    t.readOnly = (st.st_mode & S_IWUSR) == 0 ||
                 ::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0;
    break;
  }
  if (!permissionsFrom.empty() && ::stat(permissionsFrom.c_str(), &st) == 0) {
    t.newMode = (st.st_mode & 0777) | S_IRUSR | S_IWUSR;
  }
  return t;
}

OsFile CreateNewFile(const std::string& path, const ReplaceTarget& target, bool& taken,
                     std::string& error) {
  // Private until it is finished when it replaces a file; the usual permissions (less the
  // umask) when it makes a new one.
  const mode_t mode = target.exists ? 0600 : (target.newMode != 0 ? target.newMode : 0666);
  // O_EXCL with O_CREAT never follows a link planted under the name, dangling or not.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  taken = fd < 0 && errno == EEXIST;
  if (fd < 0) Failed(error);
  return OsFile(fd);
}

OsFile OpenExistingFile(const std::string& path, bool forWriting, std::string& error) {
  const int fd = ::open(path.c_str(), (forWriting ? O_WRONLY : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) Failed(error);
  return OsFile(fd);
}

bool TakeOverMetadata(OsFile& file, const ReplaceTarget& target) {
  if (!target.exists) return true;
  const int fd = Fd(file);
  bool kept = true;
  if (::geteuid() == 0) {
    kept = ::fchown(fd, target.owner, target.group) == 0;
  } else {
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != target.owner) kept = false;
    else if (st.st_gid != target.group && ::fchown(fd, static_cast<uid_t>(-1), target.group) != 0) {
      kept = false;
    }
  }
  // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
  if (::fchmod(fd, target.mode) != 0) kept = false;
  return kept;
}

bool MoveIntoPlace(const std::string& temp, const ReplaceTarget& target, std::string& error) {
  if (std::rename(temp.c_str(), target.path.c_str()) != 0) return Failed(error);
  // Make the new name itself durable too.
  const std::string folder = std::filesystem::path(target.path).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void RemoveTemporary(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace kelv
