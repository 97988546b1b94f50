// FileReplacer over the OS services of file_replacer_os.h (all OSes).
#include "platform/file_replacer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "platform/file_replacer_os.h"
#include "text/error.h"

namespace kelv {
namespace {

// Bytes moved at a time when claiming room and when copying.
constexpr std::size_t kBlock = 1 << 16;

// Small writes (a download arrives a few KiB at a time) are gathered up to this many bytes
// before they go to the system in one call.
constexpr std::size_t kGather = 1 << 18;

// New content is handed to the disk while it is still being written, one stretch of this
// many bytes at a time, so that the flush at the end waits only for the last stretch: a
// large download then costs about what an unflushed write costs.
constexpr std::uint64_t kWriteBackStretch = 1 << 20;

}  // namespace

struct FileReplacer::State {
  std::string path;  // as the caller named it, for messages
  std::optional<std::uint64_t> size;
  ReplaceTarget target;
  OsFile file;        // the temporary file, or the target while it is written in place
  std::string temp;   // empty while the target is written in place
  std::uint64_t written = 0;  // bytes taken from the caller, gathered ones included
  std::uint64_t passed = 0;   // bytes passed on to the file
  std::vector<char> gathered;
  bool handedOver = false;
  bool done = false;

  [[noreturn]] void Fail(const std::string& what, const std::string& error = {}) const {
    std::string text = "cannot replace " + path + ": " + what;
    if (!error.empty()) text += " (" + error + ")";
    throw KelvError(kErrFile, "FileReplacer", text);
  }

  // Creates the temporary file beside the target under a fresh name. False (with the
  // system's reason) when none can be made there.
  bool CreateTemporary(std::string& error) {
    const std::filesystem::path where = std::filesystem::u8path(target.path);
    const std::string name = where.filename().u8string();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      char tag[16];
      std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
      const std::string candidate =
          (where.parent_path() / std::filesystem::u8path("." + name + "." + tag + ".tmp"))
              .u8string();
      bool taken = false;
      file = CreateNewFile(candidate, target, taken, error);
      if (file.IsOpen()) {
        temp = candidate;
        return true;
      }
      if (!taken) return false;
    }
    return false;
  }

  // Passes bytes on to the file, and each stretch completed on to the disk.
  void PassOn(const char* data, std::size_t size) {
    std::string error;
    if (!file.Write(data, size, error)) Fail("cannot write", error);
    const std::uint64_t before = passed;
    passed += size;
    if (passed / kWriteBackStretch != before / kWriteBackStretch) {
      const std::uint64_t end = passed / kWriteBackStretch * kWriteBackStretch;
      file.StartWriteBack(end - kWriteBackStretch, kWriteBackStretch);
    }
  }

  // Passes on whatever is still gathered.
  void PassOnGathered() {
    if (gathered.empty()) return;
    PassOn(gathered.data(), gathered.size());
    gathered.clear();
  }

  // Opens the target for writing in place and reserves room for size bytes.
  OsFile OpenInPlace(std::uint64_t size) {
    std::string error;
    OsFile out = OpenExistingFile(target.path, true, error);
    if (!out.IsOpen()) Fail("cannot open it for writing", error);
    Reserve(out, size);
    return out;
  }

  // Claims the disk space for size bytes past the old end of out before any old byte
  // changes, so that a full disk is found while the old content is still whole; then moves
  // to the start.
  void Reserve(OsFile& out, std::uint64_t size) {
    std::string error;
    std::uint64_t old = 0;
    if (!out.Size(old, error)) Fail("cannot read its size", error);
    if (size > old) {
      const std::vector<char> zeros(kBlock, '\0');
      bool ok = out.Seek(old, error);
      for (std::uint64_t at = old; ok && at < size;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - at));
        ok = out.Write(zeros.data(), n, error);
        at += n;
      }
      if (ok) ok = out.Sync(error);
      if (!ok) {
        std::string ignored;
        out.Truncate(old, ignored);
        out.Sync(ignored);
        Fail("no room on the disk for the new content", error);
      }
    }
    if (!out.Seek(0, error)) Fail("cannot write", error);
  }

  // Checks that out holds exactly size bytes.
  void CheckSize(OsFile& out, std::uint64_t size) const {
    std::string error;
    std::uint64_t actual = 0;
    if (!out.Size(actual, error)) Fail("cannot read the size written", error);
    if (actual != size) {
      Fail("the disk holds " + std::to_string(actual) + " bytes of " + std::to_string(size));
    }
  }

  // Ends writing size bytes in place: cuts off the old tail, flushes, checks, closes.
  void FinishInPlace(OsFile& out, std::uint64_t size) const {
    std::string error;
    if (!out.Truncate(size, error)) Fail("cannot set its size", error);
    if (!out.Sync(error)) Fail("cannot flush it to the disk", error);
    CheckSize(out, size);
    if (!out.Close(error)) Fail("cannot close it", error);
  }

  // Overwrites the target in place with the finished temporary file.
  void CopyInPlace() {
    std::string error;
    OsFile in = OpenExistingFile(temp, false, error);
    if (!in.IsOpen()) Fail("cannot read the temporary file", error);
    OsFile out = OpenInPlace(written);
    std::vector<char> buffer(kBlock);
    for (;;) {
      std::size_t got = 0;
      if (!in.Read(buffer.data(), buffer.size(), got, error)) {
        Fail("cannot read the temporary file", error);
      }
      if (got == 0) break;
      if (!out.Write(buffer.data(), got, error)) Fail("cannot write", error);
    }
    FinishInPlace(out, written);
  }
};

FileReplacer::FileReplacer(const std::string& path, ReplaceOptions options)
    : s_(std::make_unique<State>()) {
  State& s = *s_;
  s.path = path;
  s.size = options.size;
  s.target = InspectTarget(path, options.permissionsFrom);
  if (s.target.exists && !s.target.regular) s.Fail("it is not a plain file");
  if (s.target.readOnly) s.Fail("the file is read-only");
  std::string error;
  if (s.CreateTemporary(error)) return;
  // No temporary file can be made beside the target (a folder this user may not write,
  // although the file is writable): write in place, as plain writing would, once the room
  // for the known size is claimed.
  if (!s.target.exists || !s.size) s.Fail("cannot create a temporary file beside it", error);
  s.file = s.OpenInPlace(*s.size);
}

FileReplacer::~FileReplacer() {
  if (s_->done) return;
  std::string ignored;
  if (s_->file.IsOpen()) s_->file.Close(ignored);
  if (!s_->temp.empty()) RemoveTemporary(s_->temp);
}

void FileReplacer::Write(const char* data, std::size_t size) {
  State& s = *s_;
  if (s.done || s.handedOver) s.Fail("the file is no longer open for writing");
  if (s.gathered.size() + size > kGather) {
    s.PassOnGathered();
    if (size >= kGather) {
      s.PassOn(data, size);
      s.written += size;
      return;
    }
  }
  if (s.gathered.capacity() < kGather) s.gathered.reserve(kGather);
  s.gathered.insert(s.gathered.end(), data, data + size);
  s.written += size;
}

std::string FileReplacer::HandOver() {
  State& s = *s_;
  if (s.temp.empty() || s.done) s.Fail("there is no temporary file to hand over");
  s.PassOnGathered();
  std::string error;
  if (s.file.IsOpen() && !s.file.Close(error)) s.Fail("cannot close the temporary file", error);
  s.handedOver = true;
  return s.temp;
}

void FileReplacer::Commit() {
  State& s = *s_;
  if (s.done) return;
  s.PassOnGathered();
  std::string error;
  if (s.temp.empty()) {
    if (s.size && s.written != *s.size) s.Fail("the new content is incomplete");
    s.FinishInPlace(s.file, s.written);
    s.done = true;
    return;
  }
  if (s.handedOver) {
    s.file = OpenExistingFile(s.temp, true, error);
    if (!s.file.IsOpen()) s.Fail("cannot open the temporary file", error);
    if (!s.file.Size(s.written, error)) s.Fail("cannot read the size written", error);
  }
  if (s.size && s.written != *s.size) s.Fail("the new content is incomplete");
  const bool keptOwner = TakeOverMetadata(s.file, s.target);
  if (!s.file.Sync(error)) s.Fail("cannot flush the new content to the disk", error);
  s.CheckSize(s.file, s.written);
  if (!s.file.Close(error)) s.Fail("cannot close the temporary file", error);
  if (s.target.exists && (s.target.linked || !keptOwner)) {
    // A rename would split the hard links or give the file another owner: the complete new
    // content is copied over the old one instead.
    s.CopyInPlace();
    RemoveTemporary(s.temp);
  } else if (!MoveIntoPlace(s.temp, s.target, error)) {
    s.Fail("cannot put the new file in place", error);
  }
  s.done = true;
}

}  // namespace kelv
