// The OS services behind FileReplacer: the Windows implementation (W functions).
//
// The new file replaces the old one through ReplaceFileW, which keeps the old file's ACL,
// attributes and creation time. Two cases use MoveFileExW instead: a target that does not
// exist yet, and Wine. Wine's ReplaceFileW moves the old file aside, deletes it and then
// renames the new one, so a failure in between loses the old file, a failure before leaves an
// empty "rf*.tmp" file in the folder, and nothing of the old file is kept; its MoveFileExW is
// one rename(2). The attributes and creation time are put on the new file beforehand, so the
// MoveFileExW path keeps them too where the file system stores them.
#include <windows.h>

#include "platform/file_replacer_os.h"
#include "platform/wide_text.h"

namespace kelv {
namespace {

// Attributes a new file takes over from the one it replaces; read-only targets are refused
// before this point, and the others describe the file's storage, not its use.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool Failed(std::string& error) {
  error = LastErrorMessage(GetLastError());
  return false;
}

HANDLE Native(const OsFile& file) { return reinterpret_cast<HANDLE>(file.Handle()); }

OsFile Wrap(HANDLE h) { return OsFile(reinterpret_cast<std::intptr_t>(h)); }

bool RunningUnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// The path the system ends up at for an open file (links and junctions followed), in the
// usual drive-letter or UNC form; empty when it cannot tell.
std::wstring FinalPath(HANDLE h) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(h, &buf[0], static_cast<DWORD>(buf.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::wstring();
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.resize(n + 1);
  }
  if (buf.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + buf.substr(8);
  if (buf.rfind(L"\\\\?\\", 0) == 0 && buf.size() > 6 && buf[5] == L':') return buf.substr(4);
  return buf;
}

bool MoveReplacing(const std::wstring& from, const std::wstring& to, std::string& error) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  return Failed(error);
}

}  // namespace

OsFile& OsFile::operator=(OsFile&& other) noexcept {
  if (this != &other) {
    if (IsOpen()) CloseHandle(Native(*this));
    handle_ = other.handle_;
    other.handle_ = kClosed;
  }
  return *this;
}

OsFile::~OsFile() {
  if (IsOpen()) CloseHandle(Native(*this));
}

bool OsFile::Write(const char* data, std::size_t size, std::string& error) {
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD n = 0;
    if (!WriteFile(Native(*this), data, chunk, &n, nullptr)) return Failed(error);
    data += n;
    size -= n;
  }
  return true;
}

bool OsFile::Read(char* data, std::size_t size, std::size_t& got, std::string& error) {
  const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  DWORD n = 0;
  if (!ReadFile(Native(*this), data, chunk, &n, nullptr)) return Failed(error);
  got = n;
  return true;
}

bool OsFile::Seek(std::uint64_t offset, std::string& error) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(Native(*this), to, nullptr, FILE_BEGIN)) return Failed(error);
  return true;
}

bool OsFile::Truncate(std::uint64_t size, std::string& error) {
  return Seek(size, error) && (SetEndOfFile(Native(*this)) || Failed(error));
}

// Windows writes dirty pages out on its own schedule; there is no range hint to give.
void OsFile::StartWriteBack(std::uint64_t, std::uint64_t) {}

bool OsFile::Sync(std::string& error) {
  if (!FlushFileBuffers(Native(*this))) return Failed(error);
  return true;
}

bool OsFile::Size(std::uint64_t& size, std::string& error) {
  LARGE_INTEGER n;
  if (!GetFileSizeEx(Native(*this), &n)) return Failed(error);
  size = static_cast<std::uint64_t>(n.QuadPart);
  return true;
}

bool OsFile::Close(std::string& error) {
  const HANDLE h = Native(*this);
  handle_ = kClosed;
  if (!CloseHandle(h)) return Failed(error);
  return true;
}

ReplaceTarget InspectTarget(const std::string& path, const std::string&) {
  ReplaceTarget t;
  t.path = path;
  const std::wstring wide = Utf8ToWide(path);
  const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  // Opening follows symbolic links and junctions to the file itself.
  const HANDLE h = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD attrs = GetFileAttributesW(wide.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return t;  // nothing there
    t.exists = true;  // there, but not to be opened (in use): the replacement will tell
    t.regular = (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
    t.readOnly = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
    t.mode = attrs;
    return t;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(h, &info) != 0;
  const bool disk = GetFileType(h) == FILE_TYPE_DISK;
  const std::wstring final = FinalPath(h);
  CloseHandle(h);
  if (!final.empty()) t.path = WideToUtf8(final);
  t.exists = true;
  const DWORD attrs = known ? info.dwFileAttributes : GetFileAttributesW(wide.c_str());
  t.regular = disk && attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
  t.readOnly = attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) != 0;
  t.linked = known && info.nNumberOfLinks > 1;
  t.mode = attrs == INVALID_FILE_ATTRIBUTES ? 0 : attrs;
  if (known) {
    t.created = (static_cast<std::uint64_t>(info.ftCreationTime.dwHighDateTime) << 32) |
                info.ftCreationTime.dwLowDateTime;
  }
  if (t.regular && !t.readOnly) {
    // Writable by this user? An ACL may say no where the attribute says yes.
    const HANDLE w = CreateFileW(Utf8ToWide(t.path).c_str(), GENERIC_WRITE, shareAll, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (w != INVALID_HANDLE_VALUE) CloseHandle(w);
    else if (GetLastError() == ERROR_ACCESS_DENIED) t.readOnly = true;
  }
  return t;
}

OsFile CreateNewFile(const std::string& path, const ReplaceTarget&, bool& taken,
                     std::string& error) {
  // CREATE_NEW fails on any name already there, a link included.
  const HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    taken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    Failed(error);
  }
  return Wrap(h);
}

OsFile OpenExistingFile(const std::string& path, bool forWriting, std::string& error) {
  const HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                               FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) Failed(error);
  return Wrap(h);
}

bool TakeOverMetadata(OsFile& file, const ReplaceTarget& target) {
  if (!target.exists) return true;
  FILE_BASIC_INFO basic = {};  // zero times and attributes are left as they are
  basic.CreationTime.QuadPart = static_cast<LONGLONG>(target.created);
  basic.FileAttributes = target.mode & kKeptAttributes;
  SetFileInformationByHandle(Native(file), FileBasicInfo, &basic, sizeof basic);
  return true;  // Windows keeps the owner through the ACL that ReplaceFileW carries over
}

bool MoveIntoPlace(const std::string& temp, const ReplaceTarget& target, std::string& error) {
  const std::wstring from = Utf8ToWide(temp);
  const std::wstring to = Utf8ToWide(target.path);
  if (!target.exists || RunningUnderWine()) return MoveReplacing(from, to, error);
  if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                   nullptr)) {
    return true;
  }
  switch (GetLastError()) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
      // The old file is gone and the new one still has its temporary name: finish the move.
    case ERROR_FILE_NOT_FOUND:
      // The target went away in the meantime.
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
      // A file system without ReplaceFileW.
      return MoveReplacing(from, to, error);
    default:
      return Failed(error);
  }
}

void RemoveTemporary(const std::string& path) { DeleteFileW(Utf8ToWide(path).c_str()); }

}  // namespace kelv
