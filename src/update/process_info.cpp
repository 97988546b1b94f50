// ModuloGetProcess: running-program detection over a ProcessApi (all OSes).
#include "update/process_info.h"

#include <limits>

#include "platform/ui_yield.h"
#include "text/error.h"
#include "text/toolbox.h"
#include "update/process_api.h"

namespace kelv {
namespace {

constexpr std::int32_t kPlatformNt = 2;

// The file-name part of a module path, in upper case, as the comparison needs it.
std::string ModuleFileName(const std::string& path) {
  std::string p = Trim(UpperCase(Trim(path)));
  p = Trim(Replace(p, std::string(1, '\0'), ""));
  return GetField(p, "\\", CountFields(p, "\\") - 1);
}

// The identifier list, grown by doubling from 16 bytes until one call leaves room to spare.
std::vector<std::uint32_t> CollectIds(ProcessApi& api) {
  std::uint32_t size = 8;
  std::uint32_t returned = 96;
  std::vector<std::uint32_t> ids;
  while (size <= returned) {
    YieldToWindowSystem();
    if (size > std::numeric_limits<std::uint32_t>::max() / 4) {
      throw KelvError(kErrOverflow, "ModuloGetProcess", "ProcessInfo");
    }
    size *= 2;
    ids.assign(size / 4, 0);
    if (!api.EnumProcesses(ids, returned)) {
      throw KelvError(kErrInvalidArgument, "ModuloGetProcess", "ProcessInfo");
    }
  }
  ids.resize(returned / 4);
  return ids;
}

// True when one of the paths the process is known by ends in the file name wanted.
bool Matches(ProcessApi& api, ProcessApi::Handle process, const std::string& wanted) {
  std::vector<std::string> paths;
  if (!api.MainModulePaths(process, paths)) return false;
  for (const std::string& path : paths) {
    if (ModuleFileName(path) == wanted) return true;
  }
  return false;
}

}  // namespace

std::int32_t ProcessInfo(std::string_view name, ProcessApi& api) {
  const std::string wanted = UpperCase(Trim(name));
  if (api.PlatformId() != kPlatformNt) return 0;
  const std::vector<std::uint32_t> ids = CollectIds(api);
  for (std::uint32_t id : ids) {
    YieldToWindowSystem();
    const ProcessApi::Handle process = api.OpenProcess(id);
    if (process != 0 && Matches(api, process, wanted)) {
      const std::int32_t result = api.GetProcessMemoryInfo(process);
      api.CloseHandle(process);
      return result;
    }
    api.CloseHandle(process);
    YieldToWindowSystem();
  }
  return 0;
}

std::int32_t ProcessInfo(std::string_view name) {
  std::unique_ptr<ProcessApi> api = NativeProcessApi();
  return ProcessInfo(name, *api);
}

std::int32_t GetPlatformId() { return NativeProcessApi()->PlatformId(); }

std::int16_t CountFields(std::string_view text, std::string_view delimiter) {
  if (text.empty()) return 0;
  if (delimiter.empty()) return 1;  // no delimiter can split the text
  std::string rest = std::string(text) + std::string(delimiter);
  std::int32_t n = 0;
  while (std::size_t p = InStr(rest, delimiter)) {
    rest = Mid(rest, p + 1);
    if (++n > std::numeric_limits<std::int16_t>::max()) {
      throw KelvError(kErrOverflow, "CountFields", "too many fields");
    }
  }
  return static_cast<std::int16_t>(n);
}

std::string GetField(std::string_view text, std::string_view delimiter, int n, int row,
                     int width) {
  const long index = width != 0 ? static_cast<long>(row) * width + n : n;
  std::string rest = std::string(text) + std::string(delimiter);
  for (long i = 0; i < index; ++i) {
    rest = Mid(rest, InStr(rest, delimiter) + delimiter.size());
    if (rest.empty()) return std::string();
  }
  const std::size_t p = InStr(rest, delimiter);
  return Left(rest, p == 0 ? rest.size() : p - 1);
}

}  // namespace kelv
