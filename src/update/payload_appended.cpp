// Payloads appended to an executable: reading them in chunks and appending them (all OSes).
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/files.h"
#include "text/error.h"
#include "update/payload.h"
#include "update/payload_footer.h"

namespace fs = std::filesystem;

namespace kelv {
namespace {

constexpr std::size_t kChunk = 1 << 20;

// The footer of the file at path, or nullopt when it has none.
std::optional<PayloadFooter> ReadFooter(std::ifstream& in, std::uint64_t size) {
  if (size < kPayloadFooterSize) return std::nullopt;
  std::string bytes(kPayloadFooterSize, '\0');
  in.seekg(static_cast<std::streamoff>(size - kPayloadFooterSize));
  if (!in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  return DecodePayloadFooter(bytes, size);
}

std::optional<PayloadEntry> FindEntry(const std::string& path, std::string_view name,
                                      std::ifstream& in) {
  std::optional<std::uintmax_t> size = FileSize(path);
  if (!size) return std::nullopt;
  in.open(fs::u8path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::optional<PayloadFooter> footer = ReadFooter(in, *size);
  if (!footer) return std::nullopt;
  for (const PayloadEntry& e : footer->entries) {
    if (e.name == name) return e;
  }
  return std::nullopt;
}

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

AppendedPayloads::AppendedPayloads(std::string path) : path_(std::move(path)) {}

std::optional<std::uint64_t> AppendedPayloads::Size(std::string_view name) const {
  std::ifstream in;
  std::optional<PayloadEntry> e = FindEntry(path_, name, in);
  if (!e) return std::nullopt;
  return e->length;
}

bool AppendedPayloads::Read(std::string_view name, const ChunkSink& sink) const {
  std::ifstream in;
  std::optional<PayloadEntry> e = FindEntry(path_, name, in);
  if (!e) return false;
  in.seekg(static_cast<std::streamoff>(e->offset));
  return in && CopyChunks(in, e->length, sink);
}

void AppendPayloads(const std::string& installer, const std::vector<PayloadFile>& payloads,
                    const std::string& output) {
  auto fail = [](const std::string& what) {
    throw KelvError(kErrFile, "AppendPayloads", what);
  };
  // Names are checked before anything is written.
  PayloadFooter names;
  for (const PayloadFile& p : payloads) names.entries.push_back(PayloadEntry{p.name, 0, 0});
  EncodePayloadFooter(names);

  std::optional<std::uintmax_t> installerSize = FileSize(installer);
  std::ifstream base(fs::u8path(installer), std::ios::binary);
  if (!installerSize || !base) fail("cannot read the installer " + installer);
  // Payloads packed before are left out: only the installer's own bytes are copied.
  PayloadFooter footer;
  footer.baseSize = *installerSize;
  if (std::optional<PayloadFooter> old = ReadFooter(base, *installerSize)) {
    footer.baseSize = old->baseSize;
  }
  base.clear();
  base.seekg(0);

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
    if (!CopyChunks(in, *size, write)) {
      abandon("cannot copy the package " + p.path + " to " + output + SystemReason());
    }
    footer.entries.push_back(PayloadEntry{p.name, offset, *size});
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
