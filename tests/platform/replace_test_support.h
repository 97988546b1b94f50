// Helpers of the file-replacement tests (all OSes): folder listings and the folders that
// with_test_mounts.sh prepares.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace kelv {

// The names in a folder.
inline std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(folder), ec)) {
    names.insert(e.path().filename().u8string());
  }
  return names;
}

// A folder that with_test_mounts.sh named in the environment variable, as this program
// sees it (under Wine the Linux path is on drive Z:); nullopt when the variable is not set.
inline std::optional<std::string> MountedFolder(const char* variable) {
  const char* value = std::getenv(variable);
  if (!value || !*value) return std::nullopt;
  std::string path(value);
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
  path = "Z:" + path;
#endif
  return path;
}

// Why a case that needs with_test_mounts.sh was skipped.
constexpr const char* kNeedsMounts =
    "needs the folders of with_test_mounts.sh, which mounts a small tmpfs and a read-only "
    "bind mount and so must run as root";

}  // namespace kelv
