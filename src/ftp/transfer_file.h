// Local files of the FTP transfers (all OSes): a reader for uploads, and a writer that
// fills a temporary file beside the target and puts it in place only when the download is
// complete, so a failed download never damages an existing local file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace kelv {

// A temporary file name in the same folder as path, not in use at the moment.
std::string TempPathBeside(const std::string& path);

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

class LocalFileWriter {
 public:
  // Creates the temporary file for path; throws KelvError(kErrFile) when it cannot.
  explicit LocalFileWriter(std::string path);
  // Removes the temporary file unless Commit() succeeded.
  ~LocalFileWriter();
  LocalFileWriter(const LocalFileWriter&) = delete;
  LocalFileWriter& operator=(const LocalFileWriter&) = delete;

  // Appends bytes; throws KelvError(kErrFile) when they cannot be written.
  void Write(const char* data, std::size_t size);
  // Closes the temporary file and makes it the target, replacing what was there; throws
  // KelvError(kErrFile) on failure (the target is then left as it was).
  void Commit();

 private:
  std::string path_, temp_;
  std::ofstream out_;
  bool committed_ = false;
};

}  // namespace kelv
