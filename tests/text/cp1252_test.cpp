// Tests of the Windows-1252 codec and the UTF-8 helpers.
#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/utf8.h"

namespace kelv {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252, KnownCharacters) {
  struct Case { std::string bytes; std::string utf8; };
  const Case cases[] = {
      {"\x80", "\u20AC"},          // euro sign
      {"\xAE", "\u00AE"},          // registered sign, as in the product name
      {"\xF1\xD1", "\u00F1\u00D1"},  // ñ Ñ
      {"\x8A\x9F", "\u0160\u0178"},  // Š Ÿ
      {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},  // the five undefined bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes);
  }
}

TEST(Cp1252, UnrepresentableAndInvalidBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\u4E2Db"), "a?b");       // CJK has no Windows-1252 byte
  EXPECT_EQ(Utf8ToCp1252("a\xC3(b"), "a?(b");       // a broken sequence: one '?' per bad byte
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");  // an emoji is one character
  // A real U+FFFD is one character like any other outside Windows-1252; a bad byte beside it
  // is one more.
  EXPECT_EQ(Utf8ToCp1252("x\uFFFDy"), "x?y");
  EXPECT_EQ(Utf8ToCp1252("\uFFFD\xEF\xBF\uFFFD"), "????");
}

TEST(Utf8, DecodeCountsBadBytesOneByOne) {
  EXPECT_EQ(CharCount("\u00E1bc"), 3u);
  EXPECT_EQ(CharCount("a\xFF\xFE"), 3u);
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80").size(), 3u);  // an encoded surrogate is invalid
  EXPECT_EQ(EncodeUtf8(DecodeUtf8("\u00F1\u20AC")), "\u00F1\u20AC");
  // A real U+FFFD decodes as one character of three bytes; a bad byte as one of one byte.
  struct Case { std::string text; char32_t cp; std::size_t len; };
  const Case cases[] = {
      {"\uFFFDz", 0xFFFD, 3}, {"\xEF\xBF", 0xFFFD, 1}, {"\xFFz", 0xFFFD, 1},
      {"\u00E1", 0xE1, 2},    {"a", 'a', 1},            {"\U0001F600", 0x1F600, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Utf8Char got = DecodeUtf8At(c.text, 0);
    EXPECT_EQ(got.cp, c.cp);
    EXPECT_EQ(got.len, c.len);
  }
  EXPECT_EQ(CharCount("x\uFFFDy"), 3u);
}

}  // namespace
}  // namespace kelv
