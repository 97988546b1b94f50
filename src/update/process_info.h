// ModuloGetProcess: is a process running whose main executable has a given file name?
// (all OSes; the process list comes from a ProcessApi, see process_api.h)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

class ProcessApi;

// Not 0 when a process whose main module's file name equals name (letter case and
// surrounding blanks ignored) is running: the result of that process's memory-counters
// query. 0 when none matches, when the matching process's memory query fails, or when the
// platform id is not 2. Processes that cannot be opened or whose modules cannot be listed
// are skipped. Yields to the window system once per growth of the process list and twice
// per process examined. A failure of the process list is raised as KelvError with the
// description "ProcessInfo".
std::int32_t ProcessInfo(std::string_view name);
std::int32_t ProcessInfo(std::string_view name, ProcessApi& api);

// The platform id of the system's version query: 2 for the Windows NT family, and on other
// systems 2 where /proc can be read; 0 when the query fails.
std::int32_t GetPlatformId();

// The number of delimiter-separated fields of text; 0 for the empty text. Meant for a
// one-character delimiter: after each delimiter found, one character is skipped.
std::int16_t CountFields(std::string_view text, std::string_view delimiter);

// Field n (from 0) of the delimiter-separated text; the empty text when there are fewer
// fields. With width not 0 the field taken is row * width + n.
std::string GetField(std::string_view text, std::string_view delimiter, int n, int row = 0,
                     int width = 0);

}  // namespace kelv
