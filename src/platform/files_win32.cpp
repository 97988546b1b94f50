// File services of files.h that differ by OS: the Windows implementation (W functions).
#include <windows.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/files_os.h"
#include "platform/wide_text.h"

namespace kelv {

bool ReplaceFileOs(const std::string& from, const std::string& to, std::string& error) {
  if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = LastErrorMessage(GetLastError());
  return false;
}

bool IsReadOnlyOs(const std::string& path) {
  DWORD attrs = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string ExecutablePath() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, &buf[0], static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) {
      buf.resize(n);
      return WideToUtf8(buf);
    }
    buf.resize(buf.size() * 2);
  }
}

std::optional<std::string> GetEnv(const std::string& name) {
  const wchar_t* v = _wgetenv(Utf8ToWide(name).c_str());
  if (!v) return std::nullopt;
  return WideToUtf8(v);
}

}  // namespace kelv
