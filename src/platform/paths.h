// Path joining with the native separator (all OSes): '\' on Windows, '/' elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace kelv {

#ifdef _WIN32
inline constexpr char kPathSep = '\\';
#else
inline constexpr char kPathSep = '/';
#endif

// folder + sep + name: the separator is put between them unless folder already ends in
// one. An empty folder therefore gives the separator followed by name.
std::string JoinSep(std::string_view folder, std::string_view name);

// Replaces every '\' in a path literal by the native separator (no change on Windows).
std::string NativeSeparators(std::string_view path);

// The part of path up to and including its last separator ('\' or the native one), or "".
std::string FolderOf(std::string_view path);

// The part of path after its last separator ('\' or the native one).
std::string FileNameOf(std::string_view path);

}  // namespace kelv
