// Local files of the FTP transfers (all OSes): a reader for uploads, and the writer of
// downloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/file_replacer.h"

namespace kelv {

class LocalFileReader {
 public:
  // Opens path for reading; throws KelvError(kErrFile) when it cannot be opened.
  explicit LocalFileReader(const std::string& path);
  std::uint64_t Size() const { return size_; }
  // Reads exactly size bytes; throws KelvError(kErrFile) when they cannot be read.
  void Read(char* data, std::size_t size);

 private:
  std::string path_;
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

// A download's local file follows the rules of every file the system replaces (see
// FileReplacer): it arrives in a temporary file created exclusively beside the target and
// replaces it only once complete, so a failed download never damages the existing file; a
// read-only target is refused, the target's permissions are kept and links are followed.
// Constructed with the path alone, it never writes the target in place before the whole
// download is there. The constructor, Write and Commit throw KelvError(kErrFile); the
// destructor removes the temporary file unless Commit succeeded. A back-end that downloads
// straight into a named file fills the file that HandOver() names.
using LocalFileWriter = FileReplacer;

}  // namespace kelv
