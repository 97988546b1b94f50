// A throw-away folder for tests that touch files (all OSes).
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "platform/paths.h"

namespace kelv {

// Creates an empty folder under the system's temporary folder and removes it, with
// everything in it, when it goes out of scope.
class TestFolder {
 public:
  TestFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("kelv-settings-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // The folder itself, as a UTF-8 path.
  std::string Path() const { return path_.u8string(); }
  // folder + sep + name.
  std::string File(const std::string& name) const { return JoinSep(Path(), name); }

 private:
  std::filesystem::path path_;
};

}  // namespace kelv
