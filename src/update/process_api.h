// The operating system's process list, as the running-program detection asks for it
// (all OSes; process_api_win32.cpp uses PSAPI, process_api_posix.cpp reads /proc).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelv {

class ProcessApi {
 public:
  using Handle = std::uintptr_t;  // 0 means "could not be opened"

  virtual ~ProcessApi() = default;

  // The platform id of the version query (2: processes can be listed), 0 on failure.
  virtual std::int32_t PlatformId() = 0;

  // Fills ids with up to ids.size() process identifiers and sets returnedBytes to 4 times
  // the number written. False when the list cannot be read.
  virtual bool EnumProcesses(std::vector<std::uint32_t>& ids, std::uint32_t& returnedBytes) = 0;

  // Opens a process for querying; 0 when it cannot be opened.
  virtual Handle OpenProcess(std::uint32_t id) = 0;

  // The full paths the process is known by, main module first, with '\' as separator
  // (on Windows one path; elsewhere the executable and argv[0]). False when the modules
  // cannot be listed.
  virtual bool MainModulePaths(Handle process, std::vector<std::string>& paths) = 0;

  // The memory-counters query: not 0 on success.
  virtual std::int32_t GetProcessMemoryInfo(Handle process) = 0;

  // Releases a handle from OpenProcess (0 is allowed and ignored).
  virtual void CloseHandle(Handle process) = 0;
};

// The process list of this system.
std::unique_ptr<ProcessApi> NativeProcessApi();

}  // namespace kelv
