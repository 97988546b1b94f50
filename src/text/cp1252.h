// Windows-1252 <-> UTF-8 conversion, the only place where bytes on disk become text (all OSes).
//
// Inside the program every text is UTF-8. Files, registry values and cipher buffers hold
// Windows-1252 bytes. The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to U+0081 etc. and back, so every byte value survives a round trip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// Each byte becomes the character Windows-1252 gives it, written as UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);

// Each character becomes its Windows-1252 byte; characters Windows-1252 cannot hold become
// '?'. Invalid UTF-8 sequences count as one unrepresentable character per bad byte.
std::string Utf8ToCp1252(std::string_view text);

// The Windows-1252 byte of one code point, or -1 when it has none.
int CodePointToCp1252(char32_t cp);

// The code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(std::uint8_t byte);

}  // namespace kelv
