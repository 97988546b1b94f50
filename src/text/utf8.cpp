// UTF-8 code point helpers (all OSes).
#include "text/utf8.h"

namespace kelv {

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos) {
  const unsigned char b = static_cast<unsigned char>(text[pos]);
  if (b < 0x80) return {b, 1};
  std::size_t len = 0;
  char32_t cp = 0, min = 0;
  if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
  else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
  else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
  bool ok = len != 0 && pos + len <= text.size();
  for (std::size_t k = 1; ok && k < len; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[pos + k]);
    if ((c & 0xC0) != 0x80) ok = false;
    else cp = (cp << 6) | (c & 0x3F);
  }
  if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
  if (!ok) return {0xFFFD, 1};
  return {cp, len};
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, i);
    out.push_back(c.cp);
    i += c.len;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view cps) {
  std::string out;
  out.reserve(cps.size());
  for (char32_t cp : cps) AppendUtf8(out, cp);
  return out;
}

std::size_t CharCount(std::string_view text) {
  // Fast path: count lead bytes when the text is valid; DecodeUtf8 settles invalid input.
  std::size_t count = 0;
  for (unsigned char b : text) {
    if (b >= 0x80) return DecodeUtf8(text).size();
    ++count;
  }
  return count;
}

}  // namespace kelv
