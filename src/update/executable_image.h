// Where an executable's own image ends in its file (all OSes), so that bytes after it can
// be told apart from the executable: ELF (32- and 64-bit, either byte order) and PE (32-
// and 64-bit). The headers are read through a caller's reader, so the same code serves
// files on disk and bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace kelv {

// Copies exactly size bytes at offset of a file into `into`; false when the file does not
// hold them all.
using ReadBytesAt = std::function<bool(std::uint64_t offset, std::size_t size, char* into)>;

enum class ExecutableKind { kElf, kPe };

struct ExecutableImage {
  ExecutableKind kind;
  std::uint64_t end;  // the offset one past the last byte the headers describe
};

// The kind of executable in a file of fileSize bytes and where its image ends: for ELF
// after the ELF header, the program and section header tables, the segments' file bytes and
// the sections' contents; for PE after the headers, the sections' raw data and the
// certificate table (a COFF symbol table, deprecated in images, may follow). The end lies beyond fileSize when the file
// was cut short (a table that is not there counts with the size its header gives it, and a
// region whose end overflows reaches past any file). nullopt when the file is neither kind,
// its first headers are not there, or it has more than 65,536 table entries. Only bytes
// inside fileSize are ever read.
std::optional<ExecutableImage> FindExecutableImage(const ReadBytesAt& read, std::uint64_t fileSize);

}  // namespace kelv
