// The process list on Windows, through the process status interface (PSAPI) and the
// system's version query.
#include <windows.h>
#include <psapi.h>

#include "platform/wide_text.h"
#include "update/process_api.h"

namespace kelv {
namespace {

class PsapiApi : public ProcessApi {
 public:
  std::int32_t PlatformId() override {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
    return static_cast<std::int32_t>(info.dwPlatformId);
  }

  bool EnumProcesses(std::vector<std::uint32_t>& ids, std::uint32_t& returnedBytes) override {
    DWORD returned = 0;
    static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "process ids are 32-bit");
    if (!::EnumProcesses(reinterpret_cast<DWORD*>(ids.data()),
                         static_cast<DWORD>(ids.size() * sizeof(DWORD)), &returned)) {
      return false;
    }
    returnedBytes = returned;
    return true;
  }

  Handle OpenProcess(std::uint32_t id) override {
    // 0x410: query information and read memory, as the module queries need.
    return reinterpret_cast<Handle>(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  }

  bool MainModulePaths(Handle process, std::vector<std::string>& paths) override {
    HMODULE modules[50] = {};
    DWORD needed = 0;
    HANDLE h = reinterpret_cast<HANDLE>(process);
    if (!EnumProcessModules(h, modules, sizeof modules, &needed)) return false;
    wchar_t path[260];
    const DWORD n = GetModuleFileNameExW(h, modules[0], path, 260);
    paths.push_back(WideToUtf8(std::wstring_view(path, n)));
    return true;
  }

  std::int32_t GetProcessMemoryInfo(Handle process) override {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(reinterpret_cast<HANDLE>(process), &counters,
                                  sizeof counters) != 0;
  }

  void CloseHandle(Handle process) override {
    if (process != 0) ::CloseHandle(reinterpret_cast<HANDLE>(process));
  }
};

}  // namespace

std::unique_ptr<ProcessApi> NativeProcessApi() { return std::make_unique<PsapiApi>(); }

}  // namespace kelv
