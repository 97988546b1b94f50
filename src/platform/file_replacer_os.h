// The OS services behind FileReplacer; one implementation per OS (file_replacer_posix.cpp,
// file_replacer_win32.cpp). Internal to kelv_platform. Calls that can fail return false (or
// a closed file) and set error to the system's own text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelv {

// An open file of the OS, closed by its destructor.
class OsFile {
 public:
  OsFile() = default;
  explicit OsFile(std::intptr_t handle) : handle_(handle) {}
  OsFile(OsFile&& other) noexcept : handle_(other.handle_) { other.handle_ = kClosed; }
  OsFile& operator=(OsFile&& other) noexcept;
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  bool IsOpen() const { return handle_ != kClosed; }
  std::intptr_t Handle() const { return handle_; }

  // Writes all of data at the current position.
  bool Write(const char* data, std::size_t size, std::string& error);
  // Reads up to size bytes at the current position; got is 0 at the end of the file.
  bool Read(char* data, std::size_t size, std::size_t& got, std::string& error);
  // Moves the position to offset bytes from the start.
  bool Seek(std::uint64_t offset, std::string& error);
  // Makes the file exactly size bytes long.
  bool Truncate(std::uint64_t size, std::string& error);
  // Flushes the file's data to the disk.
  bool Sync(std::string& error);
  // Asks the system to start writing the given byte range to the disk without waiting for
  // it, so that a later Sync has less left to wait for; failures are ignored (a hint).
  void StartWriteBack(std::uint64_t offset, std::uint64_t size);
  // The file's size.
  bool Size(std::uint64_t& size, std::string& error);
  // Closes the file, reporting what the close itself reports.
  bool Close(std::string& error);

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

// What a replacement needs to know of its target.
struct ReplaceTarget {
  std::string path;       // the file itself: symbolic links followed to what they name
  bool exists = false;
  bool regular = false;   // a plain file (not a folder, device or pipe)
  bool readOnly = false;  // read-only attribute, no write permission for its owner, or not
                          // writable by this user
  bool linked = false;    // more than one hard link
  // What the new file takes over: POSIX permission bits, owner and group; Windows attributes
  // and creation time.
  std::uint32_t mode = 0;
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint64_t created = 0;
  // POSIX permission bits for a target that does not exist yet; 0 for the usual ones.
  std::uint32_t newMode = 0;
};

// Looks at path, following symbolic links; permissionsFrom (may be empty) names the file
// whose permission bits a new target takes.
ReplaceTarget InspectTarget(const std::string& path, const std::string& permissionsFrom);

// Creates a new, empty file at path for reading and writing; fails when anything, a link
// included, is already there (taken is then true).
OsFile CreateNewFile(const std::string& path, const ReplaceTarget& target, bool& taken,
                     std::string& error);

// Opens an existing file, not through a symbolic link, for writing (or for reading), without
// truncating it.
OsFile OpenExistingFile(const std::string& path, bool forWriting, std::string& error);

// Gives a finished temporary file what the target has (see ReplaceTarget). False when it
// cannot take the target's owner or group, so that a rename would change them.
bool TakeOverMetadata(OsFile& file, const ReplaceTarget& target);

// Puts the closed temporary file in place of the target, as one step where the system allows.
bool MoveIntoPlace(const std::string& temp, const ReplaceTarget& target, std::string& error);

// Removes a temporary file; failures are ignored.
void RemoveTemporary(const std::string& path);

}  // namespace kelv
