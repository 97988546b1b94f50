// UTF-8 code point helpers, for the rules that count characters of user text (all OSes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelv {

// One character decoded from UTF-8: its code point and the number of bytes it takes.
struct Utf8Char {
  char32_t cp;
  std::size_t len;
};

// Decodes the character that starts at byte pos (pos < text.size()). A byte that does not
// start a valid sequence decodes as U+FFFD of length 1; a real U+FFFD takes its 3 bytes.
Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos);

// Decodes UTF-8; each byte of an invalid sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// Encodes code points as UTF-8 (surrogates and values above U+10FFFF become U+FFFD).
std::string EncodeUtf8(std::u32string_view cps);

// Appends one code point to out as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Number of characters (code points; each byte of an invalid sequence counts as one).
std::size_t CharCount(std::string_view text);

}  // namespace kelv
