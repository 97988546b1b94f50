// The executable's own version on Windows: the file version of its VERSIONINFO resource.
#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/wide_text.h"
#include "update/version_number.h"

namespace kelv {

FileVersion OwnFileVersion() {
  const std::wstring path = Utf8ToWide(ExecutablePath());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return FileVersion{};
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return FileVersion{};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return FileVersion{};
  }
  return FileVersion{static_cast<int>(HIWORD(info->dwFileVersionMS)),
                     static_cast<int>(LOWORD(info->dwFileVersionMS)),
                     static_cast<int>(HIWORD(info->dwFileVersionLS)),
                     static_cast<int>(LOWORD(info->dwFileVersionLS))};
}

}  // namespace kelv
