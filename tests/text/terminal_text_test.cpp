// Tests of the escaping of outside text for a terminal.
#include <gtest/gtest.h>

#include "text/terminal_text.h"

namespace kelv {
namespace {

TEST(TerminalText, EscapesWhatCouldDriveATerminalAndKeepsTheRest) {
  struct Case { std::string in, out; };
  const Case cases[] = {
      {"plain name.txt", "plain name.txt"},
      {"a\\b", "a\\b"},                                 // backslashes kept as they are
      {"title\x1b]0;owned\x07", "title\\x1b]0;owned\\x07"},
      {"line\r\nnext\tcol", "line\\r\\nnext\\tcol"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      {"del\x7f", "del\\x7f"},
      {"c1\xc2\x9b" "31m", "c1\\x9b31m"},               // CSI as a C1 control
      {"bad\xff\xfe", "bad\\xff\\xfe"},                 // not UTF-8
      {"real\xef\xbf\xbd", "real\xef\xbf\xbd"},          // a real U+FFFD is shown
      {"rtl\xe2\x80\xaegnp.exe", "rtl\\u202egnp.exe"},   // hides the real extension
      {"Se\xc3\xb1or \xe2\x82\xac", "Se\xc3\xb1or \xe2\x82\xac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    EXPECT_EQ(EscapeControls(c.in), c.out);
  }
}

}  // namespace
}  // namespace kelv
