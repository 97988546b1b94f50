// A throw-away folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "platform/paths.h"

namespace kelv {

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("kelv-update-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path (no trailing separator), or folder + sep + name.
  std::string Path() const { return path_.u8string(); }
  std::string Path(const std::string& name) const { return JoinSep(Path(), name); }

 private:
  std::filesystem::path path_;
};

}  // namespace kelv
