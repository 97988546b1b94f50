// Windows-1252 <-> UTF-8 conversion (all OSes).
#include "text/cp1252.h"

#include "text/utf8.h"

namespace kelv {
namespace {

// Code points of bytes 0x80..0x9F. The five undefined bytes map to the C1 control of the
// same value, so they survive a round trip.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t Cp1252ToCodePoint(std::uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

int CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == cp) return 0x80 + i;
  }
  return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char b : bytes) {
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      AppendUtf8(out, Cp1252ToCodePoint(b));
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {  // fast path for ASCII runs
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    // One character; a bad byte counts as one character, and so does a real U+FFFD.
    const Utf8Char c = DecodeUtf8At(text, i);
    const int code = CodePointToCp1252(c.cp);
    out.push_back(code < 0 ? '?' : static_cast<char>(code));
    i += c.len;
  }
  return out;
}

}  // namespace kelv
