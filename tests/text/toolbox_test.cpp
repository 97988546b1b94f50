// Tests of the shared string toolbox.
#include <gtest/gtest.h>

#include <cmath>

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

TEST(Toolbox, InStrExactAndAnyCase) {
  struct Case { std::size_t start; const char* text; const char* find; Compare cmp; std::size_t want; };
  const Case cases[] = {
      {1, "abcabc", "bc", Compare::Exact, 2},
      {3, "abcabc", "bc", Compare::Exact, 5},
      {1, "abcabc", "BC", Compare::Exact, 0},
      {1, "abcabc", "BC", Compare::AnyCase, 2},
      {1, "[NombreProducto]", "[nombreproducto]", Compare::AnyCase, 1},
      {1, "x CANCI\u00D3N y", "canci\u00F3n", Compare::AnyCase, 3},  // Ó folds to ó
      {1, "\u0178", "\u00FF", Compare::AnyCase, 1},                  // Ÿ folds to ÿ
      {1, "\u00DF", "ss", Compare::AnyCase, 0},                     // ß is not expanded
      {1, "\u00D7", "\u00F7", Compare::AnyCase, 0},                 // × and ÷ are not letters
      {1, "abc", "", Compare::Exact, 1},
      {4, "abc", "", Compare::Exact, 4},
      {5, "abc", "", Compare::Exact, 0},
      {9, "abc", "a", Compare::AnyCase, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find);
    EXPECT_EQ(InStr(c.start, c.text, c.find, c.cmp), c.want);
  }
  EXPECT_EQ(InStrRev("a\\b\\c", "\\"), 4u);
  EXPECT_EQ(InStrRev("a\\b\\c", "\\", 3), 2u);
  EXPECT_EQ(InStrRev("aXbx", "x", 0, Compare::AnyCase), 4u);
  EXPECT_EQ(InStrRev("abc", "z"), 0u);
}

TEST(Toolbox, FoldingKeepsByteLength) {
  const std::string text = "\u00C1\u00E1\u0160\u0178\u00DF\u20AC Az";
  EXPECT_EQ(FoldCase(text).size(), text.size());
  EXPECT_EQ(UpperCase(text).size(), text.size());
  EXPECT_EQ(UpperCase("kelvpersonal.exe \u00E1\u00FF"), "KELVPERSONAL.EXE \u00C1\u0178");
  EXPECT_TRUE(TextEquals("MicrosoftJet", "MICROSOFTJET", Compare::AnyCase));
  EXPECT_FALSE(TextEquals("MicrosoftJet", "MICROSOFTJET", Compare::Exact));
}

TEST(Toolbox, ReplaceSplitMidTrim) {
  EXPECT_EQ(Replace("a.tmp.TMP", ".tmp", ".upd"), "a.upd.TMP");
  EXPECT_EQ(Replace("a.tmp.TMP", ".tmp", ".upd", Compare::AnyCase), "a.upd.upd");
  EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");  // inserted text is not scanned again
  EXPECT_EQ(Replace("abcabc", "b", "X", Compare::Exact, 3), "caXc");  // starts at position 3
  EXPECT_EQ(Replace("abab", "a", "", Compare::Exact, 1, 1), "bab");
  EXPECT_EQ(Replace("abc", "", "X"), "abc");

  EXPECT_TRUE(Split("", ":").empty());
  EXPECT_EQ(Split("12:0", ":"), (std::vector<std::string>{"12", "0"}));
  EXPECT_EQ(Split("a**b*", "*"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Join({"a", "b"}, "\r\n"), "a\r\nb");

  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abc", 4), "");
  EXPECT_EQ(Left("abc", 5), "abc");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(MidChars("\u00E1\u00E9\u00ED", 2, 1), "\u00E9");

  EXPECT_EQ(Trim("  a b \t "), "a b \t");
  EXPECT_EQ(Trim("\r\n x \r\n"), "\r\n x \r\n");
  EXPECT_EQ(LTrim("  x "), "x ");
  EXPECT_EQ(RTrim("  x "), "  x");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Toolbox, LikePatterns) {
  struct Case { const char* text; const char* pattern; Compare cmp; bool want; };
  const Case cases[] = {
      {"abc", "a*", Compare::Exact, true},
      {"abc", "*c", Compare::Exact, true},
      {"abc", "a?c", Compare::Exact, true},
      {"abc", "a??c", Compare::Exact, false},
      {"a1c", "a#c", Compare::Exact, true},
      {"abc", "a#c", Compare::Exact, false},
      {"abc", "a[a-c]c", Compare::Exact, true},
      {"abc", "a[!a-c]c", Compare::Exact, false},
      {"a-c", "a[-]c", Compare::Exact, true},
      {"a*c", "a[*]c", Compare::Exact, true},
      {"aXc", "a[*]c", Compare::Exact, false},
      {"ABC", "abc", Compare::Exact, false},
      {"ABC", "abc", Compare::AnyCase, true},
      {"B", "[a-c]", Compare::AnyCase, true},
      {"\u00C1rbol", "\u00E1*", Compare::AnyCase, true},
      {"\u00F1", "?", Compare::Exact, true},  // one character, two bytes
      {"abc", "a[bc", Compare::Exact, false},  // unclosed list
      {"", "*", Compare::Exact, true},
      {"", "?", Compare::Exact, false},
      {"mississippi", "*sip*", Compare::Exact, true},
      {"mississippi", "m*s*i*p*i", Compare::Exact, true},
      {"mississippi", "m*x*", Compare::Exact, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " Like " + c.pattern);
    EXPECT_EQ(Like(c.text, c.pattern, c.cmp), c.want);
  }
}

TEST(Toolbox, ValReadsTheLeadingNumber) {
  struct Case { const char* text; double want; };
  const Case cases[] = {
      {"1433", 1433},   {" 1 4 3 3 ", 1433}, {"\t12\n3x9", 123}, {"2.5", 2.5},
      {"-7", -7},       {"+7", 7},           {"1e3", 1000},      {"1D2", 100},
      {"1e", 1},        {".5", 0.5},         {"abc", 0},         {"", 0},
      {"&H10", 16},     {"&HFFFF", -1},      {"&H7FFF", 32767},  {"&HFFFFFFFF", -1},
      {"&H10000", 65536}, {"&O17", 15},      {"&Hz", 0},         {"12abc34", 12},
      {"\r5", 0},  // a carriage return is not skipped
      {"1e-400", 0},    {"-2.5e-400", 0},    {"007.50", 7.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(Val(c.text), c.want);
  }
}

TEST(Toolbox, BankersRoundingAndNumberText) {
  struct Case { double in; double want; };
  const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4},
                        {2.4, 2}, {2.6, 3}, {-0.4, 0}, {1e20, 1e20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_DOUBLE_EQ(BankersRound(c.in), c.want);
  }
  EXPECT_EQ(ToInt32Rounded(2147483647.4), 2147483647);
  EXPECT_EQ(ToInt32Rounded(-2147483648.0), INT32_MIN);
  EXPECT_THROW(ToInt32Rounded(2147483648.0), KelvError);
  try {
    ToInt32Rounded(1e12);
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Number(), kErrOverflow);
  }
  EXPECT_THROW(ToInt32Rounded(std::nan("")), KelvError);

  EXPECT_EQ(NumberToText(12), "12");
  EXPECT_EQ(NumberToText(0.5), "0.5");
  EXPECT_EQ(NumberToText(-3), "-3");
  EXPECT_EQ(NumberToText(123456789012345.0), "123456789012345");
  EXPECT_EQ(NumberToText(1e15), "1E+15");
  EXPECT_EQ(NumberToText(0.00001), "1E-05");
  EXPECT_EQ(NumberToText(0), "0");
  EXPECT_EQ(NumberToText(-1.5e-7), "-1.5E-07");
  EXPECT_EQ(NumberToText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(NumberToText(123456789012345678.0), "1.23456789012346E+17");
  EXPECT_TRUE(std::isinf(Val("1e400")));
  EXPECT_TRUE(std::isinf(Val("-1e400")) && Val("-1e400") < 0);
}

}  // namespace
}  // namespace kelv
