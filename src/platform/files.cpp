// File system services over std::filesystem (all OSes); the OS-specific pieces are in
// files_win32.cpp and files_posix.cpp.
#include "platform/files.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/file_replacer.h"
#include "platform/files_os.h"
#include "text/error.h"

namespace fs = std::filesystem;

namespace kelv {

fs::path ToPath(const std::string& utf8) { return fs::u8path(utf8); }

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::error_code ec;
  fs::path p = ToPath(path);
  if (!fs::is_regular_file(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  auto size = fs::file_size(p, ec);
  if (!ec) data.reserve(static_cast<std::size_t>(size));
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    data.append(buf, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return data;
}

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
  FileReplacer out(path, ReplaceOptions{bytes.size(), {}});
  out.Write(bytes);
  out.Commit();
}

bool CopyFileOverwriting(const std::string& from, const std::string& to) {
  std::error_code ec;
  const fs::path source = ToPath(from);
  const std::uintmax_t size = fs::file_size(source, ec);
  std::ifstream in(source, std::ios::binary);
  if (ec || !in) return false;
  try {
    FileReplacer out(to, ReplaceOptions{size, from});
    std::vector<char> buffer(1 << 16);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
      out.Write(buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return false;
    out.Commit();  // checks that exactly size bytes arrived
    return true;
  } catch (const KelvError&) {
    return false;
  }
}

bool CreateFileIfMissing(const std::string& path) {
  std::error_code ec;
  fs::path p = ToPath(path);
  if (fs::exists(p, ec)) return fs::is_regular_file(p, ec);
  std::ofstream out(p, std::ios::binary);
  return static_cast<bool>(out);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(ToPath(path), ec);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(ToPath(path), ec);
}

std::optional<std::uintmax_t> FileSize(const std::string& path) {
  std::error_code ec;
  auto size = fs::file_size(ToPath(path), ec);
  if (ec) return std::nullopt;
  return size;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  std::error_code ec;
  fs::permissions(ToPath(path), fs::perms::owner_write | fs::perms::group_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add, ec);
  return !ec;
}

bool DeleteFileForced(const std::string& path) {
  std::error_code ec;
  fs::path p = ToPath(path);
  if (!fs::exists(fs::symlink_status(p, ec))) return true;
  SetReadOnly(path, false);
  fs::remove(p, ec);
  return !fs::exists(fs::symlink_status(p, ec));
}

bool DeleteFilePlain(const std::string& path) {
  std::error_code ec;
  fs::path p = ToPath(path);
  if (!fs::exists(fs::symlink_status(p, ec))) return true;
  if (IsReadOnlyOs(path)) return false;
  fs::remove(p, ec);
  return !fs::exists(fs::symlink_status(p, ec));
}

bool RenameFileReplacing(const std::string& from, const std::string& to) {
  std::string error;
  return ReplaceFileOs(from, to, error);
}

std::string ExecutableFolder() {
  fs::path p = ToPath(ExecutablePath()).parent_path();
  return p.u8string();
}

std::string ModuleName() { return ToPath(ExecutablePath()).stem().u8string(); }

std::string ExecutableFileName() { return ToPath(ExecutablePath()).filename().u8string(); }

}  // namespace kelv
