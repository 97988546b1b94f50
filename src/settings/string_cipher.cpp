// The string cipher: keyed XOR and digit substitution (all OSes).
#include "settings/string_cipher.h"

#include <vector>

#include "text/cp1252.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {
namespace {

// Symbols for the digits 0..9 (slots 0..9) and the separator ':' (slot 10). Each table's
// symbols are distinct; no stored data depends on them.
constexpr char kTable1[11] = {'K', 't', 'R', 'w', 'P', 'z', 'Q', 'm', 'X', 'h', 'J'};
constexpr char kTable2[11] = {'g', 'D', 'v', 'L', 'c', 'Y', 'b', 'N', 's', 'F', 'o'};

std::string KeyedXor(std::string_view texto, std::string_view mascara) {
  std::u32string phrase = DecodeUtf8(mascara.empty() ? kDefaultPassPhrase : mascara);
  std::vector<std::uint8_t> key;
  key.reserve(phrase.size());
  for (char32_t c : phrase) {
    int code = CodePointToCp1252(c);
    key.push_back(static_cast<std::uint8_t>(code < 0 ? '?' : code));
  }
  std::string out;
  out.reserve(texto.size() + texto.size() / 4);
  std::size_t i = 0, k = 0;
  const std::size_t n = texto.size();
  while (i < n) {
    // One character: a bad byte counts as one character (U+FFFD), and so does a real U+FFFD.
    const Utf8Char c = DecodeUtf8At(texto, i);
    const std::uint32_t low = c.cp & 0xFF;
    i += c.len;
    std::uint8_t v = static_cast<std::uint8_t>(key[k] ^ low);
    if (++k == key.size()) k = 0;
    if (v < 0x80) out.push_back(static_cast<char>(v));
    else AppendUtf8(out, Cp1252ToCodePoint(v));
  }
  return out;
}

std::string SubstitutionEncipher(std::string_view texto, const char* table) {
  std::vector<std::string> fields = Split(texto, ":");
  if (fields.size() < 2) return std::string();
  double a = Val(fields[0]), b = Val(fields[1]);
  fields[0] = NumberToText(b != 0 ? a * b : a);
  std::string joined = Join(fields, ":");
  std::string out;
  out.reserve(joined.size());
  for (char c : joined) {
    int slot = static_cast<unsigned char>(c) - 48;
    if (slot < 0 || slot > 10) return std::string();
    out.push_back(table[slot]);
  }
  return out;
}

std::string SubstitutionDecipher(std::string_view texto, const char* table) {
  std::string digits;
  for (char32_t c : DecodeUtf8(texto)) {
    int j = 10;
    for (int s = 0; s <= 9; ++s) {
      if (static_cast<char32_t>(static_cast<unsigned char>(table[s])) == c) {
        j = s;
        break;
      }
    }
    digits.push_back(j <= 9 ? static_cast<char>('0' + j) : ':');
  }
  std::vector<std::string> fields = Split(digits, ":");
  if (fields.size() < 2) return std::string();
  double a = Val(fields[0]), b = Val(fields[1]);
  fields[0] = NumberToText(b != 0 ? a / b : a);
  return Join(fields, ":");
}

}  // namespace

std::string EncDesEnc(std::string_view Texto, bool Salado, bool Enc, std::uint8_t N,
                      std::string_view TextoMascara) {
  if (Texto.empty()) return std::string();
  try {
    if (Salado) return KeyedXor(Texto, TextoMascara);
    const char* table = N == 1 ? kTable1 : kTable2;
    return Enc ? SubstitutionEncipher(Texto, table) : SubstitutionDecipher(Texto, table);
  } catch (...) {
    return std::string();  // any failure gives the empty text
  }
}

}  // namespace kelv
