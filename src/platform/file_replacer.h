// FileReplacer: the one way every file the system writes over is replaced (all OSes; UTF-8
// paths). Settings files, byte files, downloads and the installer's copies of itself all go
// through it, so they follow the same rules:
//
// - the new content goes to a temporary file created exclusively beside the target (never
//   through a link planted under its name), is flushed to the disk and its size checked, and
//   only then replaces the target, so a failure leaves the old file whole and no temporary
//   file behind;
// - a symbolic link is followed: what it names is replaced and the link stays a link;
// - the target keeps its permission bits (POSIX; its owner and group too when running as
//   root), or its ACL, attributes and creation time (Windows, through ReplaceFileW);
// - a read-only target (no write permission, or the read-only attribute) is refused;
// - a target with several hard links, or (POSIX) an owner or group the temporary file cannot
//   take, is overwritten in place once the new content is complete, since a rename would
//   split the links or hand the file to another user;
// - where no temporary file can be made beside the target (a folder the user may not write
//   although the file is writable), the target is written in place when the final size is
//   known: that many bytes are reserved on the disk first, so a full disk is found before the
//   first old byte changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelv {

// How a replacement may proceed.
struct ReplaceOptions {
  // The number of bytes that will be written, when known. It allows writing in place where
  // no temporary file can be made, and Commit() checks that exactly this many arrived.
  // Without it (a download whose end is not known) the target is never written in place
  // before the whole new content is there.
  std::optional<std::uint64_t> size;
  // A file whose permission bits a newly created target takes (the source of a copy), made
  // writable by its owner; empty: the usual permissions of a new file. POSIX only.
  std::string permissionsFrom;
};

class FileReplacer {
 public:
  // Starts replacing path: checks the target and creates the temporary file (or opens the
  // target for writing in place). Throws KelvError(kErrFile) naming path and the reason
  // when path is read-only, is not a plain file, or cannot be written at all.
  explicit FileReplacer(const std::string& path, ReplaceOptions options = {});
  // Without a successful Commit(), removes the temporary file; the target is untouched
  // (only a target being written in place holds what has been written so far).
  ~FileReplacer();
  FileReplacer(const FileReplacer&) = delete;
  FileReplacer& operator=(const FileReplacer&) = delete;

  // Appends bytes; throws KelvError(kErrFile) when they cannot be written (a full disk).
  // Small writes are gathered and passed to the system together, so a failure may show in a
  // later Write or in Commit().
  void Write(const char* data, std::size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

  // For a writer that fills a whole file by its name (a download back-end): closes the
  // temporary file here and returns its path. Commit() then takes whatever that writer left
  // in it. Throws KelvError(kErrFile) when the target is being written in place.
  std::string HandOver();

  // Flushes the new content to the disk, checks its size and puts it in place of the
  // target. Throws KelvError(kErrFile) on failure; the target then holds its old content,
  // unless it was being written in place and the failure came after the room was claimed.
  void Commit();

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace kelv
