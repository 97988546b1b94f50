// The OS-specific file services behind files.h; one implementation per OS
// (files_win32.cpp, files_posix.cpp). Internal to kelv_platform.
#pragma once

#include <filesystem>
#include <string>

namespace kelv {

// A UTF-8 path as a std::filesystem path.
std::filesystem::path ToPath(const std::string& utf8);

// Moves from over to, replacing to if present; on failure sets error to the system's text.
bool ReplaceFileOs(const std::string& from, const std::string& to, std::string& error);

// True when the file carries the read-only attribute (no write permission for its owner).
bool IsReadOnlyOs(const std::string& path);

}  // namespace kelv
