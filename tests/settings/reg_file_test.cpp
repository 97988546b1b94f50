// Tests of the registry-file parser and of the value rule both registry back-ends share.
#include <gtest/gtest.h>

#include "settings/reg_file.h"
#include "settings/registry.h"
#include "settings/registry_value.h"

namespace kelv {
namespace {

std::string Utf16(const std::string& utf8) { return Utf16LeFromUtf8(utf8); }

TEST(RegistryValue, TextByType) {
  using namespace std::string_literals;
  struct Case { std::int32_t type; std::string data; std::string want; };
  const Case cases[] = {
      {kRegSz, Utf16("abc") + "\0\0"s, "abc"},               // the terminator is dropped
      {kRegSz, Utf16("abc"), "abc"},                          // stored without one
      {kRegSz, "\0\0"s, ""},                                  // empty value
      {kRegSz, "", ""},                                       // no data at all
      {kRegSz, Utf16("se\u00f1or \u20ac") + "\0\0"s, "se\u00f1or \u20ac"},
      {kRegSz, Utf16("\u0100x") + "\0\0"s, "?x"},             // no Windows-1252 form
      {kRegSz, Utf16("\U0001F600") + "\0\0"s, "?"},           // a surrogate pair is one character
      {kRegExpandSz, Utf16("%TEMP%\\x") + "\0\0"s, "%TEMP%\\x"},  // not expanded
      {kRegBinary, "ab\0"s, "ab"},                            // a last NUL byte goes
      {kRegBinary, "a\0b"s, "a\0b"s},                         // any other byte stays
      {kRegBinary, "\xE9\x80", "\u00e9\u20ac"},               // bytes read as Windows-1252
      {kRegDword, "\x01\0\0\0"s, "1"},
      {kRegDword, "\0\0\0\0"s, "0"},
      {kRegDword, "\xFF\xFF\xFF\xFF", "-1"},                  // signed
      {kRegDword, "\0\0\0\x80"s, "-2147483648"},
      {kRegNone, "abc", ""},
      {kRegMultiSz, Utf16("a") + "\0\0"s + Utf16("b") + "\0\0\0\0"s, ""},
      {5, "\0\0\0\x01"s, ""},
      {11, "\x01\0\0\0\0\0\0\0"s, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + ": " + c.want);
    EXPECT_EQ(RegistryValueText(RegStoredValue{c.type, c.data}), c.want);
  }
}

TEST(RegistryValue, BufferLimitCountsAnsiBytesWithTerminator) {
  using namespace std::string_literals;
  const std::string fits(1023, 'x'), tooLong(1024, 'x');
  EXPECT_EQ(RegistryValueText({kRegSz, Utf16(fits) + "\0\0"s}), fits);
  EXPECT_EQ(RegistryValueText({kRegSz, Utf16(tooLong) + "\0\0"s}), "");
  EXPECT_EQ(RegistryValueText({kRegSz, Utf16(tooLong)}), tooLong);  // no terminator stored
  // Non-ASCII characters count one byte each, as in the ANSI code page.
  const std::string accented = std::string(1022, 'x') + "\u00f1";
  EXPECT_EQ(RegistryValueText({kRegSz, Utf16(accented) + "\0\0"s}), accented);
  EXPECT_EQ(RegistryValueText({kRegBinary, std::string(1024, 'b')}), std::string(1024, 'b'));
  EXPECT_EQ(RegistryValueText({kRegBinary, std::string(1025, 'b')}), "");
}

TEST(RegFile, DecodesEveryEncoding) {
  const std::string utf16 = std::string("\xFF\xFE", 2) + Utf16("REGEDIT4\r\n\u00f1\U0001F600");
  EXPECT_EQ(RegFileTextFromBytes(utf16), "REGEDIT4\r\n\u00f1\U0001F600");
  EXPECT_EQ(RegFileTextFromBytes("\xEF\xBB\xBFx\u00f1"), "x\u00f1");
  EXPECT_EQ(RegFileTextFromBytes("x\u00f1"), "x\u00f1");          // valid UTF-8
  EXPECT_EQ(RegFileTextFromBytes("x\xF1\x80"), "x\u00f1\u20ac");  // otherwise Windows-1252
  EXPECT_EQ(RegFileTextFromBytes(""), "");
  EXPECT_EQ(RegFileTextFromBytes(std::string("\xFF\xFE", 2) + "a"), "");  // half a unit
}

const char kVersion5[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; the application's own key\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brandel Software\\Kelv Personal]\r\n"
    "\"PathAplicacion\"=\"C:\\\\Kelv\\\\App\"\r\n"
    "\"BaseGral\" = \"D:\\\\Datos \\\"compartidos\\\"\"\r\n"
    "@=\"default\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\"Neg\"=dword:FFFFFFFE\r\n"
    "\"Bin\"=hex:41,42,00\r\n"
    "\"Long\"=hex:41,42,\\\r\n"
    "  43,44\r\n"
    "\"Expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    "\"Gone\"=\"x\"\r\n"
    "\"Gone\"=-\r\n"
    "\"Broken1\"=\"no closing quote\r\n"
    "\"Broken2\"=dword:123456789\r\n"
    "\"Broken3\"=hex:4g\r\n"
    "\"Broken4\"=hex(zz):00\r\n"
    "\"Broken5\"=\"x\" trailing\r\n"
    "\"Broken6\"=\r\n"
    "garbage line\r\n"
    "\r\n"
    "[HKLM\\Software\\Sub\\Deep]\r\n"
    "\"V\"=\"deep\"\r\n"
    "[HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\Nomina]\r\n"
    "\"Driver\"=\"C:\\\\odbc.dll\"\r\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\Sub]\r\n"
    "[HKEY_NOWHERE\\X]\r\n"
    "\"Lost\"=\"x\"\r\n";

TEST(RegFile, ParsesValuesOfEveryKind) {
  using namespace std::string_literals;
  const RegFile file = RegFile::Parse(kVersion5);
  const std::string app = "SOFTWARE\\Brandel Software\\Kelv Personal";
  struct Case { std::uint32_t root; std::string key, name; bool present; std::int32_t type; std::string data; };
  const Case cases[] = {
      {kHkeyLocalMachine, app, "PathAplicacion", true, kRegSz, Utf16("C:\\Kelv\\App") + "\0\0"s},
      {kHkeyLocalMachine, "software\\BRANDEL SOFTWARE\\kelv personal\\", "pathaplicacion", true, kRegSz,
       Utf16("C:\\Kelv\\App") + "\0\0"s},                    // any letter case, trailing backslash
      {kHkeyLocalMachine, app, "BaseGral", true, kRegSz, Utf16("D:\\Datos \"compartidos\"") + "\0\0"s},
      {kHkeyLocalMachine, app, "", true, kRegSz, Utf16("default") + "\0\0"s},
      {kHkeyLocalMachine, app, "Count", true, kRegDword, "\x2a\0\0\0"s},
      {kHkeyLocalMachine, app, "Neg", true, kRegDword, "\xFE\xFF\xFF\xFF"s},
      {kHkeyLocalMachine, app, "Bin", true, kRegBinary, "AB\0"s},
      {kHkeyLocalMachine, app, "Long", true, kRegBinary, "ABCD"},  // continued line
      {kHkeyLocalMachine, app, "Expand", true, kRegExpandSz, Utf16("%TMP%") + "\0\0"s},
      {kHkeyLocalMachine, app, "Multi", true, kRegMultiSz, Utf16("a") + "\0\0"s + Utf16("b") + "\0\0\0\0"s},
      {kHkeyLocalMachine, app, "Qword", true, 11, "\x01\0\0\0\0\0\0\0"s},
      {kHkeyLocalMachine, app, "Gone", false, 0, ""},
      {kHkeyCurrentUser, "Software\\ODBC\\ODBC.INI\\Nomina", "Driver", true, kRegSz, Utf16("C:\\odbc.dll") + "\0\0"s},
      {kHkeyLocalMachine, "Software\\ODBC\\ODBC.INI\\Nomina", "Driver", false, 0, ""},  // other root
      {kHkeyLocalMachine, "Software\\Sub\\Deep", "V", false, 0, ""},  // deleted with its parent
      {kHkeyLocalMachine, app, "Missing", false, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.name);
    std::optional<RegStoredValue> v = file.Find(c.root, c.key, c.name);
    ASSERT_EQ(v.has_value(), c.present);
    if (v) {
      EXPECT_EQ(v->type, c.type);
      EXPECT_EQ(v->data, c.data);
    }
  }
  for (int i = 1; i <= 6; ++i) {
    EXPECT_FALSE(file.Find(kHkeyLocalMachine, app, "Broken" + std::to_string(i))) << i;
  }
  EXPECT_EQ(file.Size(), 11u);
}

TEST(RegFile, Regedit4StringsAreAnsiBytes) {
  const RegFile file = RegFile::Parse(
      "REGEDIT4\n"
      "[HKEY_LOCAL_MACHINE\\K]\n"
      "\"Expand\"=hex(2):25,54,4d,50,25,f1,00\n"
      "\"Text\"=\"se\u00f1or\"\n");
  EXPECT_EQ(RegistryValueText(*file.Find(kHkeyLocalMachine, "K", "Expand")), "%TMP%\u00f1");
  EXPECT_EQ(RegistryValueText(*file.Find(kHkeyLocalMachine, "K", "Text")), "se\u00f1or");
  // Without a header the file reads as version 5.00.
  const RegFile bare = RegFile::Parse("[HKLM\\K]\n\"E\"=hex(2):41,00,00,00\n");
  EXPECT_EQ(RegistryValueText(*bare.Find(kHkeyLocalMachine, "K", "E")), "A");
}

TEST(RegFile, BrokenInputIsSkipped) {
  using namespace std::string_literals;
  struct Case { std::string text; std::size_t values; };
  const Case cases[] = {
      {"", 0},
      {"\0\0\0\xFF["s, 0},
      {"[\\", 0},
      {"\"a\"=\"b\"", 0},                          // a value outside any key
      {"[HKLM\\K]\n\"\\", 0},
      {"[HKLM\\K]\n\"a\"=hex(7", 0},
      {"[HKLM\\K]\n\"a\"=hex:,,", 0},
      {"[HKLM\\K]\n\"a\"=hex:01,\\", 1},          // a continuation at the very end
      {"[HKLM\\K]\n\"a\"=\"\\\"", 0},             // the quote is escaped: not closed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RegFile::Parse(c.text).Size(), c.values);
  }
}

}  // namespace
}  // namespace kelv
