// Tests of the string cipher: keyed XOR and digit substitution.
#include <gtest/gtest.h>

#include "settings/string_cipher.h"
#include "text/utf8.h"

namespace kelv {
namespace {

std::string Xor(const std::string& text, const std::string& key) {
  return EncDesEnc(text, true, true, 1, key);
}

TEST(StringCipher, KeyedXor) {
  using namespace std::string_literals;
  struct Case { std::string text, key, want; };
  const Case cases[] = {
      {"", "k", ""},
      {"a", "a", "\0"s},                       // equal characters give NUL, which stays
      {"aaaaaaa", "abc", "\0\x03\x02\0\x03\x02\0"s},  // characters 0, 3, 6 use the first key character
      {"AB", "  ", "ab"},
      {"\u00f1", "5", "\u00c4"},               // ñ 0xF1 ^ 0x35 = 0xC4 Ä
      {"\u20ac", "5", "\u2122"},               // € has low byte 0xAC; 0xAC ^ 0x35 = 0x99 ™
      {"\u00c4", "5", "\u00f1"},
      {"x\u0081", "\x01", "y\u20ac"},           // U+0081 keeps its low byte; 0x80 is €
      {"x\uFFFDy", "\x01", "y\u00fcx"},          // a real U+FFFD is one character (low byte 0xFD)
      {"x\xFFy", "\x01", "y\u00fcx"},            // and so is a bad byte, read as U+FFFD
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.key);
    std::string got = Xor(c.text, c.key);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(CharCount(got), CharCount(c.text));
  }
}

TEST(StringCipher, XorDefaultsAndInverse) {
  const std::string text = "Kelv Personal 4.1 [x] ~!";
  EXPECT_EQ(Xor(text, ""), Xor(text, std::string(kDefaultPassPhrase)));
  EXPECT_NE(Xor(text, ""), text);
  EXPECT_EQ(Xor(Xor(text, "57204618"), "57204618"), text);
  EXPECT_EQ(Xor(Xor(text, ""), ""), text);
  // Enc and N do not matter in this mode.
  EXPECT_EQ(EncDesEnc(text, true, false, 9, "k3y"), EncDesEnc(text, true, true, 1, "k3y"));
  // A long text: every character comes out, one for one.
  std::string longText(100000, 'q');
  EXPECT_EQ(Xor(Xor(longText, "57204618"), "57204618"), longText);
}

TEST(StringCipher, Substitution) {
  struct Case { const char* text; bool enc; std::uint8_t n; const char* want; };
  const Case cases[] = {
      {"", true, 1, ""},
      {"", false, 1, ""},
      {"12:0", true, 1, "tRJK"},        // 12 folds to 12 (factor 1), not 0
      {"3:4", true, 1, "tRJP"},         // 3 x 4 = 12
      {"3:4", true, 2, "Dvoc"},         // another table
      {"3:4", true, 0, "Dvoc"},         // every N but 1 picks table 2
      {"123", true, 1, ""},             // no separator
      {"1:0.5", true, 1, ""},           // folds to one half: no symbol for the point
      {"-1:2", true, 1, ""},            // a sign has no symbol
      {"1000000000000000:1", true, 1, ""},  // written with an exponent
      {"5:3:9", true, 1, "tzJwJh"},     // later fields carried over
      {"5:3:x", true, 1, ""},
      {"tRJK", false, 1, "12:0"},
      {"tRJP", false, 1, "3:4"},
      {"tzJwJh", false, 1, "5:3:9"},
      {"tR", false, 1, ""},             // digit symbols only: one field
      {"t#R", false, 1, "0.5:2"},       // an unknown character reads as the separator
      {"tRJK", false, 2, "0::::"},      // the wrong table: nothing is a digit symbol
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.enc ? " enc " : " dec ") + std::to_string(c.n));
    EXPECT_EQ(EncDesEnc(c.text, false, c.enc, c.n, "ignored"), c.want);
  }
  for (const char* pair : {"7:6", "0:0", "123456:789", "99999:0", "1:1"}) {
    SCOPED_TRACE(pair);
    for (std::uint8_t n : {1, 2}) {
      EXPECT_EQ(EncDesEnc(EncDesEnc(pair, false, true, n, ""), false, false, n, ""), pair);
    }
  }
}

}  // namespace
}  // namespace kelv
