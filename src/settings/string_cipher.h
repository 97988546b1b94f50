// The string cipher for short values kept in settings files (all OSes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// The pass phrase used when the caller gives none.
inline constexpr std::string_view kDefaultPassPhrase = "una clave de prueba hecha en 1997";

// Enciphers or deciphers Texto.
//
// Salado true (keyed XOR): character i of the result is the Windows-1252 character of
// (Windows-1252 code of pass-phrase character i mod its length) XOR (low 8 bits of the code
// of Texto's character i). The pass phrase is TextoMascara, or kDefaultPassPhrase when that
// is empty. The result has as many characters as Texto (a NUL stays in it); applying it
// twice with the same pass phrase gives the text back for characters below 128. Enc and N
// are ignored.
//
// Salado false (digit substitution): Texto is two numbers joined by ':'. Enc true folds the
// first into the product of both (or leaves it when the second is 0) and writes every digit
// and ':' as a symbol of table 1 (N == 1) or table 2; Enc false maps the symbols back and
// divides. Anything that cannot be done (fewer than two fields, a sign, a fraction or an
// exponent to encipher) gives the empty text. TextoMascara is ignored.
//
// An empty Texto gives the empty text. Never throws.
std::string EncDesEnc(std::string_view Texto, bool Salado, bool Enc, std::uint8_t N,
                      std::string_view TextoMascara);

}  // namespace kelv
