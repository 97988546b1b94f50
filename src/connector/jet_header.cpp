// Reading the database password from the first page of a Jet 3 or Jet 4 file (all OSes).
#include "connector/jet_header.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "text/cp1252.h"
#include "text/utf8.h"

namespace kelv {

namespace {

constexpr std::size_t kMaskedStart = 0x18;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kCreationDateOffset = 0x72;
constexpr std::string_view kJetMagic = "Standard Jet DB";
constexpr std::array<std::uint8_t, 4> kHeaderKey = {0xc7, 0xda, 0x39, 0x6b};  // 0x6b39dac7

// The first n bytes of the RC4 key stream for key.
std::string Rc4KeyStream(const std::array<std::uint8_t, 4>& key, std::size_t n) {
  std::array<std::uint8_t, 256> s{};
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    j = static_cast<std::uint8_t>(j + s[i] + key[i % key.size()]);
    std::swap(s[i], s[j]);
  }
  std::string out(n, '\0');
  std::uint8_t a = 0, b = 0;
  for (char& byte : out) {
    a = static_cast<std::uint8_t>(a + 1);
    b = static_cast<std::uint8_t>(b + s[a]);
    std::swap(s[a], s[b]);
    byte = static_cast<char>(s[static_cast<std::uint8_t>(s[a] + s[b])]);
  }
  return out;
}

// The whole part of a day number as a 32-bit value, out-of-range values held at the ends
// (and NaN as 0), as the engine converts it.
std::int32_t WholeDays(double days) {
  if (std::isnan(days)) return 0;
  if (days >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (days <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(days);
}

std::string Jet4Password(const std::string& page) {
  double created = 0;
  static_assert(sizeof created == 8, "a day number is an 8-byte double");
  std::memcpy(&created, page.data() + kCreationDateOffset, sizeof created);
  const auto mask = static_cast<std::uint32_t>(WholeDays(created));
  std::u32string text;
  for (std::size_t i = 0; i < 40; i += 2) {
    auto byte = [&](std::size_t k) {
      const auto masked = static_cast<std::uint8_t>(page[kPasswordOffset + k]);
      return static_cast<std::uint8_t>(masked ^ ((mask >> (8 * (k % 4))) & 0xff));
    };
    const char32_t unit = static_cast<char32_t>(byte(i) | (byte(i + 1) << 8));
    if (unit == 0) break;
    // Passwords are typed text; a lone surrogate half is kept as the replacement character.
    text.push_back(unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
  }
  return EncodeUtf8(text);
}

std::string Jet3Password(const std::string& page) {
  std::string bytes = page.substr(kPasswordOffset, 20);
  bytes.resize(std::strlen(bytes.c_str()));
  return Cp1252ToUtf8(bytes);
}

}  // namespace

std::optional<std::string> JetDatabasePassword(std::string_view firstPage) {
  if (firstPage.size() < kJetHeaderBytes || firstPage.substr(4, kJetMagic.size()) != kJetMagic) {
    return std::nullopt;
  }
  const auto format = static_cast<std::uint8_t>(firstPage[0x14]);
  if (format > 1) return std::nullopt;
  const bool jet4 = format == 1;
  std::string page(firstPage.substr(0, kJetHeaderBytes));
  const std::string mask = Rc4KeyStream(kHeaderKey, jet4 ? 128 : 126);
  for (std::size_t i = 0; i < mask.size(); ++i) page[kMaskedStart + i] ^= mask[i];
  return jet4 ? Jet4Password(page) : Jet3Password(page);
}

}  // namespace kelv
