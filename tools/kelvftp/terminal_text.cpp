// Text from a server made safe to show on a terminal (all OSes, pure).
#include "terminal_text.h"

#include <cstdio>

#include "text/utf8.h"

namespace kelv {
namespace {

bool HidesOrReorders(char32_t cp) {
  return cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

std::size_t Utf8Length(char32_t cp) {
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char escape[12];
  std::size_t pos = 0;
  for (char32_t cp : DecodeUtf8(text)) {
    // The decoder gives U+FFFD for each byte that is not UTF-8; a real U+FFFD is kept.
    const bool invalid = cp == 0xFFFD && text.compare(pos, 3, "\xEF\xBF\xBD") != 0;
    const std::size_t n = invalid ? 1 : Utf8Length(cp);
    if (invalid) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[pos]));
      out += escape;
    } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F)) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(cp));
      out += escape;
    } else if (HidesOrReorders(cp)) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
      out += escape;
    } else {
      out.append(text.substr(pos, n));
    }
    pos += n;
  }
  return out;
}

}  // namespace kelv
