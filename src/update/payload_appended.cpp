// Payloads appended to an executable: reading them in chunks and appending them with their
// digests (all OSes).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/files.h"
#include "text/error.h"
#include "update/packed_file.h"
#include "update/payload.h"
#include "update/payload_footer.h"

namespace fs = std::filesystem;

namespace kelv {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// Copies length bytes from in (at its position) to sink in chunks.
bool CopyChunks(std::istream& in, std::uint64_t length, const ChunkSink& sink) {
  std::string buffer(kChunk, '\0');
  while (length > 0) {
    const std::size_t n = length < kChunk ? static_cast<std::size_t>(length) : kChunk;
    if (!in.read(&buffer[0], static_cast<std::streamsize>(n))) return false;
    if (!sink(buffer.data(), n)) return false;
    length -= n;
  }
  return true;
}

// The system's reason for the last failed file operation, for an error text.
std::string SystemReason() { return std::string(" (") + std::strerror(errno) + ")"; }

}  // namespace

AppendedPayloads::AppendedPayloads(std::string path) : path_(std::move(path)) {
  std::optional<PackedFile> file = InspectPackedFile(path_);
  if (!file) return;
  damage_ = file->damage;
  if (file->footer) entries_ = std::move(file->footer->entries);
}

const PayloadEntry* AppendedPayloads::Find(std::string_view name) const {
  for (const PayloadEntry& e : entries_) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

std::vector<std::string> AppendedPayloads::Names() const {
  std::vector<std::string> names;
  for (const PayloadEntry& e : entries_) names.push_back(e.name);
  return names;
}

std::optional<std::uint64_t> AppendedPayloads::Size(std::string_view name) const {
  const PayloadEntry* e = Find(name);
  if (!e) return std::nullopt;
  return e->length;
}

bool AppendedPayloads::Read(std::string_view name, const ChunkSink& sink) const {
  const PayloadEntry* e = Find(name);
  if (!e) return false;
  std::ifstream in(fs::u8path(path_), std::ios::binary);
  in.seekg(static_cast<std::streamoff>(e->offset));
  return in && CopyChunks(in, e->length, sink);
}

std::optional<Sha256Digest> AppendedPayloads::StoredDigest(std::string_view name) const {
  const PayloadEntry* e = Find(name);
  if (!e) return std::nullopt;
  return e->digest;
}

std::string AppendedPayloads::Damage() const { return damage_; }

void AppendPayloads(const std::string& installer, const std::vector<PayloadFile>& payloads,
                    const std::string& output, StoreDigests digests) {
  auto fail = [](const std::string& what) {
    throw KelvError(kErrFile, "AppendPayloads", what);
  };
  // Names are checked before anything is written.
  PayloadFooter footer;
  footer.version = digests == StoreDigests::kYes ? kPayloadFooterVersion : 1;
  for (const PayloadFile& p : payloads) {
    footer.entries.push_back(PayloadEntry{p.name, 0, 0, Sha256Digest{}});
  }
  EncodePayloadFooter(footer);
  footer.entries.clear();

  // Payloads packed before are left out: only the installer's own bytes are copied.
  const std::optional<PackedFile> packed = InspectPackedFile(installer);
  std::ifstream base(fs::u8path(installer), std::ios::binary);
  if (!packed || !base) fail("cannot read the installer " + installer);
  if (!packed->damage.empty()) fail("the installer " + installer + " is damaged: " + packed->damage);
  footer.baseSize = packed->footer ? packed->footer->baseSize : packed->size;

  const fs::path target = fs::u8path(output);
  fs::path partial = target;
  partial += ".part";
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  if (!out) fail("cannot create " + partial.u8string() + SystemReason());
  auto abandon = [&](const std::string& what) {
    out.close();
    std::error_code ignored;
    fs::remove(partial, ignored);
    fail(what);
  };
  auto write = [&](const char* data, std::size_t size) {
    return static_cast<bool>(out.write(data, static_cast<std::streamsize>(size)));
  };

  if (!CopyChunks(base, footer.baseSize, write)) {
    abandon("cannot copy the installer to " + output + SystemReason());
  }
  std::uint64_t offset = footer.baseSize;
  for (const PayloadFile& p : payloads) {
    std::optional<std::uintmax_t> size = FileSize(p.path);
    std::ifstream in(fs::u8path(p.path), std::ios::binary);
    if (!size || !in) abandon("cannot read the package " + p.path + SystemReason());
    // The digest is taken from the bytes as they are written, in the same pass.
    Sha256 hash;
    const bool copied = CopyChunks(in, *size, [&](const char* data, std::size_t n) {
      if (digests == StoreDigests::kYes) hash.Update(data, n);
      return write(data, n);
    });
    if (!copied) abandon("cannot copy the package " + p.path + " to " + output + SystemReason());
    PayloadEntry entry{p.name, offset, *size, std::nullopt};
    if (digests == StoreDigests::kYes) entry.digest = hash.Finish();
    footer.entries.push_back(std::move(entry));
    offset += *size;
  }
  const std::string footerBytes = EncodePayloadFooter(footer);
  write(footerBytes.data(), footerBytes.size());
  out.flush();
  out.close();
  if (!out) abandon("cannot write " + output + SystemReason());

  std::error_code ec;
  fs::permissions(partial, fs::status(fs::u8path(installer), ec).permissions(), ec);
  if (!RenameFileReplacing(partial.u8string(), output)) {
    abandon("cannot replace " + output + SystemReason());
  }
}

}  // namespace kelv
