// The footer of payloads appended to an executable: encoding and validation (all OSes).
#include "update/payload_footer.h"

#include "text/error.h"

namespace kelv {
namespace {

constexpr std::string_view kMagic = "KELVPAK1";
constexpr std::uint32_t kLayoutVersion = 1;
constexpr std::size_t kEntrySize = 24;
constexpr std::size_t kBaseAt = kMaxPayloads * kEntrySize;
constexpr std::size_t kCountAt = kBaseAt + 8;
constexpr std::size_t kVersionAt = kCountAt + 4;
constexpr std::size_t kMagicAt = kVersionAt + 4;
static_assert(kMagicAt + 8 == kPayloadFooterSize, "footer layout");

void PutLe(std::string& out, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

std::uint64_t GetLe(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  }
  return value;
}

}  // namespace

std::string EncodePayloadFooter(const PayloadFooter& footer) {
  if (footer.entries.size() > kMaxPayloads) {
    throw KelvError(kErrInvalidArgument, "EncodePayloadFooter", "too many payloads");
  }
  std::string out(kPayloadFooterSize, '\0');
  for (std::size_t i = 0; i < footer.entries.size(); ++i) {
    const PayloadEntry& e = footer.entries[i];
    if (e.name.empty() || e.name.size() > kMaxPayloadName) {
      throw KelvError(kErrInvalidArgument, "EncodePayloadFooter",
                      "a payload name must have 1 to 8 characters: " + e.name);
    }
    const std::size_t at = i * kEntrySize;
    out.replace(at, e.name.size(), e.name);
    PutLe(out, at + 8, e.offset, 8);
    PutLe(out, at + 16, e.length, 8);
  }
  PutLe(out, kBaseAt, footer.baseSize, 8);
  PutLe(out, kCountAt, footer.entries.size(), 4);
  PutLe(out, kVersionAt, kLayoutVersion, 4);
  out.replace(kMagicAt, kMagic.size(), kMagic);
  return out;
}

std::optional<PayloadFooter> DecodePayloadFooter(std::string_view bytes, std::uint64_t fileSize) {
  if (bytes.size() != kPayloadFooterSize || fileSize < kPayloadFooterSize) return std::nullopt;
  if (bytes.substr(kMagicAt) != kMagic) return std::nullopt;
  if (GetLe(bytes, kVersionAt, 4) != kLayoutVersion) return std::nullopt;
  const std::uint64_t count = GetLe(bytes, kCountAt, 4);
  if (count > kMaxPayloads) return std::nullopt;
  const std::uint64_t end = fileSize - kPayloadFooterSize;  // payloads end before the footer
  PayloadFooter footer;
  footer.baseSize = GetLe(bytes, kBaseAt, 8);
  if (footer.baseSize > end) return std::nullopt;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * kEntrySize;
    PayloadEntry e;
    std::string_view name = bytes.substr(at, kMaxPayloadName);
    e.name = std::string(name.substr(0, name.find('\0')));
    e.offset = GetLe(bytes, at + 8, 8);
    e.length = GetLe(bytes, at + 16, 8);
    if (e.name.empty() || e.offset < footer.baseSize || e.offset > end ||
        e.length > end - e.offset) {
      return std::nullopt;
    }
    footer.entries.push_back(std::move(e));
  }
  return footer;
}

}  // namespace kelv
