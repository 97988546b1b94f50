// Local files of the FTP transfers (all OSes).
#include "ftp/transfer_file.h"

#include <filesystem>

#include "text/error.h"

namespace fs = std::filesystem;

namespace kelv {

LocalFileReader::LocalFileReader(const std::string& path) : path_(path) {
  std::error_code ec;
  const fs::path p = fs::u8path(path);
  if (fs::is_regular_file(p, ec)) in_.open(p, std::ios::binary);
  if (!in_) throw KelvError(kErrFile, "cFTP", "cannot open the local file: " + path);
  size_ = fs::file_size(p, ec);
  if (ec) throw KelvError(kErrFile, "cFTP", "cannot read the size of the local file: " + path);
}

void LocalFileReader::Read(char* data, std::size_t size) {
  if (!in_.read(data, static_cast<std::streamsize>(size))) {
    throw KelvError(kErrFile, "cFTP", "cannot read the local file: " + path_);
  }
}

}  // namespace kelv
