// Tests of the dialog's content per call: button sets, captions, codes, icons, title.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/alert_form.h"
#include "text/error.h"

namespace kelv {
namespace {

struct Shown {
  std::string caption;
  int code;
  bool operator==(const Shown& o) const { return caption == o.caption && code == o.code; }
};

std::vector<Shown> ShownButtons(const AlertForm& form) {
  std::vector<Shown> out;
  for (const AlertButton& b : form.buttons)
    if (b.visible) out.push_back({b.caption, b.code});
  return out;
}

TEST(AlertForm, EachButtonSetShowsItsButtonsInOrder) {
  struct Case {
    int tipo;
    std::string opcional;
    std::vector<Shown> shown;
    int closeCode;
  } cases[] = {
      {0, "", {{"&Aceptar", 1}}, 1},
      {1, "", {{"&Aceptar", 1}, {"&Cancelar", 2}}, 2},
      {2, "", {{"&Si", 6}, {"&No", 7}}, 7},
      {3, "", {{"&Si", 6}, {"&No", 7}, {"&Cancelar", 2}}, 2},
      {4, "", {{"&Si", 6}, {"&No", 7}, {"S&i a todo", -6}, {"N&o a todo", -7}}, -7},
      // Captions are ignored outside set 5.
      {0, "Uno*Dos", {{"&Aceptar", 1}}, 1},
      {5, "Uno*Dos", {{"Uno", 0}, {"Dos", 1}}, 1},
      {5, "&Guardar", {{"&Guardar", 0}}, 0},
      {5, "a**c", {{"a", 0}, {"", 1}, {"c", 2}}, 2},
      // Only six buttons exist: captions after the sixth are not shown.
      {5, "1*2*3*4*5*6*7*8", {{"1", 0}, {"2", 1}, {"3", 2}, {"4", 3}, {"5", 4}, {"6", 5}}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("AuxTipo " + std::to_string(c.tipo) + " \"" + c.opcional + "\"");
    AlertForm form = MakeAlertForm("texto", static_cast<std::uint8_t>(c.tipo), 0, c.opcional, "",
                                   "Producto");
    std::vector<Shown> shown = ShownButtons(form);
    ASSERT_EQ(shown.size(), c.shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].caption, c.shown[i].caption) << i;
      EXPECT_EQ(shown[i].code, c.shown[i].code) << i;
    }
    EXPECT_EQ(form.shownCount, static_cast<int>(c.shown.size()));
    EXPECT_EQ(CloseWithoutButtonCode(form), c.closeCode);
  }
}

TEST(AlertForm, IconsAndTitle) {
  struct Case {
    int subTipo;
    const char* glyph;
    int r, g, b;
  } cases[] = {{0, "\xC2\xA1", 255, 255, 255},
               {1, "?", 255, 255, 255},
               {2, "!", 254, 254, 159},
               {3, "X", 254, 80, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.subTipo);
    AlertForm form = MakeAlertForm("m", 0, static_cast<std::uint8_t>(c.subTipo), "", "", "P");
    EXPECT_EQ(form.glyph, c.glyph);
    EXPECT_EQ(form.patchRed, c.r);
    EXPECT_EQ(form.patchGreen, c.g);
    EXPECT_EQ(form.patchBlue, c.b);
  }
  EXPECT_EQ(MakeAlertForm("m", 0, 0, "", "", "Kelv Personal\xC2\xAE").title,
            "Kelv Personal\xC2\xAE");
  EXPECT_EQ(MakeAlertForm("m", 0, 0, "", "Notificador", "Kelv").title, "Notificador");
  EXPECT_EQ(MakeAlertForm("a\r\nb", 0, 0, "", "", "").message, "a\r\nb");
}

TEST(AlertForm, RejectsSetsAndIconsThatDoNotExist) {
  struct Case {
    int tipo, subTipo;
    const char* opcional;
  } cases[] = {{6, 0, ""}, {255, 0, ""}, {0, 4, ""}, {3, 255, ""}, {5, 0, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.tipo) + "/" + std::to_string(c.subTipo));
    try {
      MakeAlertForm("m", static_cast<std::uint8_t>(c.tipo), static_cast<std::uint8_t>(c.subTipo),
                    c.opcional, "", "P");
      ADD_FAILURE() << "no error";
    } catch (const KelvError& e) {
      EXPECT_EQ(e.Number(), kErrInvalidArgument);
      EXPECT_EQ(e.Source(), "MensajePreg");
    }
  }
}

}  // namespace
}  // namespace kelv
