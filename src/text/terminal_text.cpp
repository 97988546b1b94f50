// Outside text made safe to show on a terminal (all OSes, pure).
#include "text/terminal_text.h"

#include <cstdio>

#include "text/utf8.h"

namespace kelv {
namespace {

bool HidesOrReorders(char32_t cp) {
  return cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char escape[12];
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, pos);
    // A byte that is not UTF-8 decodes as U+FFFD of length 1 (a real U+FFFD takes 3).
    if (c.cp == 0xFFFD && c.len == 1) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[pos]));
      out += escape;
    } else if (c.cp == '\r' || c.cp == '\n' || c.cp == '\t') {
      out += c.cp == '\r' ? "\\r" : c.cp == '\n' ? "\\n" : "\\t";
    } else if (c.cp < 0x20 || c.cp == 0x7F || (c.cp >= 0x80 && c.cp <= 0x9F)) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c.cp));
      out += escape;
    } else if (HidesOrReorders(c.cp)) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c.cp));
      out += escape;
    } else {
      out.append(text.substr(pos, c.len));
    }
    pos += c.len;
  }
  return out;
}

}  // namespace kelv
