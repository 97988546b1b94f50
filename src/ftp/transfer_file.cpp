// Local files of the FTP transfers (all OSes).
#include "ftp/transfer_file.h"

#include <filesystem>
#include <random>

#include "platform/files.h"
#include "text/error.h"

namespace fs = std::filesystem;

namespace kelv {

std::string TempPathBeside(const std::string& path) {
  std::random_device rd;
  for (;;) {
    std::string candidate = path + ".part" + std::to_string(rd() % 1000000);
    if (!PathExists(candidate)) return candidate;
  }
}

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

LocalFileWriter::LocalFileWriter(std::string path)
    : path_(std::move(path)), temp_(TempPathBeside(path_)) {
  out_.open(fs::u8path(temp_), std::ios::binary | std::ios::trunc);
  if (!out_) throw KelvError(kErrFile, "cFTP", "cannot create the local file: " + path_);
}

LocalFileWriter::~LocalFileWriter() {
  if (committed_) return;
  out_.close();
  DeleteFileForced(temp_);
}

void LocalFileWriter::Write(const char* data, std::size_t size) {
  if (!out_.write(data, static_cast<std::streamsize>(size))) {
    throw KelvError(kErrFile, "cFTP", "cannot write the local file: " + path_);
  }
}

void LocalFileWriter::Commit() {
  out_.close();
  if (out_.fail()) throw KelvError(kErrFile, "cFTP", "cannot write the local file: " + path_);
  if (!RenameFileReplacing(temp_, path_)) {
    throw KelvError(kErrFile, "cFTP", "cannot replace the local file: " + path_);
  }
  committed_ = true;
}

}  // namespace kelv
