// Converting a UTC file time to local time on Windows: FileTimeToLocalFileTime.
#include <windows.h>

#include "ftp/local_file_time.h"

namespace kelv {

bool UtcFileTimeToLocal(std::uint64_t utc, std::uint64_t& local, std::uint32_t& errorCode) {
  FILETIME in, out;
  in.dwLowDateTime = static_cast<DWORD>(utc);
  in.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  if (!FileTimeToLocalFileTime(&in, &out)) {
    errorCode = GetLastError();
    return false;
  }
  local = (static_cast<std::uint64_t>(out.dwHighDateTime) << 32) | out.dwLowDateTime;
  return true;
}

}  // namespace kelv
