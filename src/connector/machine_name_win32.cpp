// LocalMachineName on Windows: computername when set, else GetComputerNameW.
#include "connector/machine_name.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/wide_text.h"

namespace kelv {

std::string LocalMachineName() {
  if (auto name = GetEnv("computername")) return *name;
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(buffer, &size)) return std::string();
  return WideToUtf8(std::wstring(buffer, size));
}

}  // namespace kelv
