// SHA-256 helpers shared by both back-ends: one-call digests and the hexadecimal form
// (all OSes).
#include "update/sha256.h"

namespace kelv {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Sha256Digest Sha256Of(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return hash.Finish();
}

std::string DigestToHex(const Sha256Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * digest.size());
  for (std::uint8_t b : digest) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

std::optional<Sha256Digest> DigestFromHex(std::string_view hex) {
  if (hex.size() != 2 * kSha256Size) return std::nullopt;
  Sha256Digest digest{};
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int hi = HexValue(hex[2 * i]);
    const int lo = HexValue(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    digest[i] = static_cast<std::uint8_t>(hi << 4 | lo);
  }
  return digest;
}

}  // namespace kelv
