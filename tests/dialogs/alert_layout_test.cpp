// Tests of the dialog's geometry: line estimate, width cap and wrapping, button row.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/alert_layout.h"

namespace kelv {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(AlertLayout, DisplayLinesCountCharactersPerLine) {
  struct Case {
    std::string text;
    int lines;
  } cases[] = {
      {"", 1},
      {"abc", 1},
      {Repeat("a", 94), 1},
      {Repeat("a", 95), 2},
      {Repeat("a", 200), 3},
      {"uno\r\ndos", 2},
      {"uno\r\n", 2},
      {"uno\ndos", 1},  // only CR LF starts a line
      {Repeat("a", 200) + "\r\n" + "b", 4},
      {Repeat("\xC3\xA1", 94), 1},  // 94 accented letters: 188 bytes, still one line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    EXPECT_EQ(EstimateDisplayLines(c.text), c.lines);
  }
  EXPECT_EQ(CountLineBreaks("a\r\nb\r\n\r\nc\n"), 3);
}

AlertMetrics Natural(int width, int height) {
  AlertMetrics m;
  m.labelWidth = width;
  m.labelHeight = height;
  return m;
}

TEST(AlertLayout, ShortMessageKeepsItsNaturalSize) {
  AlertForm form = MakeAlertForm("Hola", 0, 0, "", "", "P");
  AlertLayout l = ComputeAlertLayout(form, Natural(200, 15));
  EXPECT_EQ(l.width, 312);   // 200 + 1.65 x 68 = 312.2
  EXPECT_EQ(l.height, 89);   // 2.7 x 20 + 15 x 1 + 20
  EXPECT_FALSE(l.labelWraps);
  EXPECT_EQ(l.labelWidth, 200);
  EXPECT_EQ(l.labelHeight, 15);
  EXPECT_EQ(l.lineHeight, 15);
  EXPECT_EQ(l.displayLines, 1);
  EXPECT_TRUE(l.buttons[0].visible);
  EXPECT_EQ(l.buttons[0].left, 113);  // (312 - 86) / 2
  EXPECT_EQ(l.buttons[0].top, 55);    // 2 x 20 + 15
  EXPECT_EQ(l.buttons[0].width, 86);
  EXPECT_EQ(l.buttons[0].height, 20);
  for (int k = 1; k < kAlertButtonCount; ++k) EXPECT_FALSE(l.buttons[k].visible) << k;
}

TEST(AlertLayout, ButtonRowWidensANarrowDialogAndIsCentred) {
  AlertForm form = MakeAlertForm("Hola", 4, 0, "", "", "P");
  AlertLayout l = ComputeAlertLayout(form, Natural(40, 15));
  EXPECT_EQ(l.width, 464);  // (86 + 13) x 4 + 68
  const int lefts[] = {40, 139, 238, 337};
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(l.buttons[k].visible);
    EXPECT_EQ(l.buttons[k].left, lefts[k - 1]);
    EXPECT_EQ(l.buttons[k].top, 55);
  }
  EXPECT_FALSE(l.buttons[0].visible);
  EXPECT_FALSE(l.buttons[5].visible);
  // The row is centred: as much room on the left as on the right (to the pixel).
  EXPECT_NEAR(l.buttons[1].left, l.width - (l.buttons[4].left + 86), 1);
}

TEST(AlertLayout, WideMessageIsCappedAt670AndWraps) {
  // Two lines: one of 200 characters (3 display lines) and a short one.
  std::string text = Repeat("x", 200) + "\r\nfin";
  AlertForm form = MakeAlertForm(text, 3, 0, "", "", "P");
  AlertLayout l = ComputeAlertLayout(form, Natural(1400, 30));
  EXPECT_EQ(l.width, 670);
  EXPECT_TRUE(l.labelWraps);
  EXPECT_EQ(l.labelWidth, 558);   // 670 - 1.65 x 68 = 557.8
  EXPECT_EQ(l.lineHeight, 15);    // 30 / (1 + 1)
  EXPECT_EQ(l.displayLines, 4);
  EXPECT_EQ(l.labelHeight, 60);
  EXPECT_EQ(l.height, 134);       // 54 + 60 + 20
  EXPECT_EQ(l.buttons[1].top, 100);
  EXPECT_EQ(l.buttons[1].left, 193);  // (670 - 3 x 86 - 2 x 13) / 2
}

TEST(AlertLayout, WidthJustBelowTheCapIsKept) {
  AlertForm form = MakeAlertForm("m", 0, 0, "", "", "P");
  EXPECT_EQ(ComputeAlertLayout(form, Natural(557, 15)).width, 669);
  EXPECT_FALSE(ComputeAlertLayout(form, Natural(557, 15)).labelWraps);
  EXPECT_EQ(ComputeAlertLayout(form, Natural(558, 15)).width, 670);  // 670.2 rounds to 670
  EXPECT_FALSE(ComputeAlertLayout(form, Natural(558, 15)).labelWraps);
  EXPECT_TRUE(ComputeAlertLayout(form, Natural(559, 15)).labelWraps);
}

TEST(AlertLayout, WideCaptionWidensOnlyItsButton) {
  struct Case {
    const char* name;
    std::array<int, kAlertButtonCount> captions;
    int width0, width1, step;
  } cases[] = {
      {"narrow captions", {40, 73, 0, 0, 0, 0}, 86, 86, 99},
      {"second caption wide", {40, 120, 0, 0, 0, 0}, 86, 133, 99},
      {"first caption wide: the row is spaced by it", {120, 40, 0, 0, 0, 0}, 133, 86, 146},
  };
  AlertForm form = MakeAlertForm("m", 5, 0, "Uno*Otro", "", "P");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AlertMetrics m = Natural(100, 15);
    m.captionWidths = c.captions;
    AlertLayout l = ComputeAlertLayout(form, m);
    EXPECT_EQ(l.buttons[0].width, c.width0);
    EXPECT_EQ(l.buttons[1].width, c.width1);
    EXPECT_EQ(l.buttons[1].left - l.buttons[0].left, c.step);
  }
  // The fixed button sets keep the design width whatever their captions measure.
  AlertMetrics m = Natural(100, 15);
  m.captionWidths = {200, 200, 200, 200, 200, 200};
  AlertLayout fixed = ComputeAlertLayout(MakeAlertForm("m", 3, 0, "", "", "P"), m);
  for (const AlertButtonPlace& b : fixed.buttons) EXPECT_EQ(b.width, 86);
}

}  // namespace
}  // namespace kelv
