// Tests of the dialog's key rules: arrows, Tab, Enter, mnemonic letters, Escape.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "dialogs/alert_keys.h"

namespace kelv {
namespace {

// Feeds blank-separated keys ("Right", "Left", "Tab", "ShiftTab", "Enter", "Escape", "F1" or
// one character)
// and returns the code of the first button pressed, or "none".
std::string Press(const AlertForm& form, const std::string& keys) {
  AlertKeys machine(form);
  std::istringstream in(keys);
  std::string key;
  while (in >> key) {
    int pressed;
    if (key == "Right") pressed = machine.OnKey(AlertKey::Right);
    else if (key == "Left") pressed = machine.OnKey(AlertKey::Left);
    else if (key == "Tab") pressed = machine.OnKey(AlertKey::Tab);
    else if (key == "ShiftTab") pressed = machine.OnKey(AlertKey::ShiftTab);
    else if (key == "Enter") pressed = machine.OnKey(AlertKey::Enter);
    else if (key == "Escape") pressed = machine.OnKey(AlertKey::Escape);
    else if (key == "F1") pressed = machine.OnKey(AlertKey::Other);
    else pressed = machine.OnKey(AlertKey::Character, key);
    if (pressed >= 0) return std::to_string(form.buttons[pressed].code);
  }
  return "none";
}

TEST(AlertKeys, KeysPressTheExpectedButton) {
  struct Case {
    int tipo;
    const char* opcional;
    const char* keys;
    const char* code;
  } cases[] = {
      {3, "", "N", "7"},
      {3, "", "n", "7"},
      {3, "", "C", "2"},
      {3, "", "Enter", "6"},
      {3, "", "Right Enter", "7"},
      {3, "", "Right Right Enter", "2"},
      {3, "", "Right Right Right Enter", "6"},  // wraps round to the first
      {3, "", "Left Enter", "2"},               // and backwards to the last
      {3, "", "Tab Enter", "7"},                // Tab follows the tab order too
      {3, "", "Tab Tab Tab Enter", "6"},
      {3, "", "ShiftTab Enter", "2"},
      {3, "", "Tab ShiftTab Enter", "6"},
      {4, "", "Tab Tab Right Enter", "-7"},     // Tab and arrows move the same focus
      {3, "", "Escape", "none"},
      {3, "", "Escape F1 x", "none"},
      {3, "", "Escape S", "6"},
      {4, "", "I", "-6"},
      {4, "", "O", "-7"},
      {4, "", "S", "6"},
      {4, "", "N", "7"},
      {0, "", "A", "1"},
      {0, "", "C", "none"},  // "&Cancelar" is not shown
      {1, "", "c", "2"},
      {2, "", "Left Enter", "7"},
      {5, "&Uno*&Dos", "D", "1"},
      {5, "&Uno*&Dos", "u", "0"},
      {5, "Uno*Dos", "D", "none"},  // no mnemonic marked
      {5, "Uno*Dos", "Right Enter", "1"},
      {5, "&Sí*&Sobre*Otro", "S", "0"},  // the first match in button order wins
      {5, "&Ñandú*&Otro", "ñ", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.tipo) + " \"" + c.opcional + "\" keys " + c.keys);
    AlertForm form = MakeAlertForm("m", static_cast<std::uint8_t>(c.tipo), 0, c.opcional, "", "P");
    EXPECT_EQ(Press(form, c.keys), c.code);
  }
}

TEST(AlertKeys, FocusStartsOnTheFirstShownButtonAndFollowsClicks) {
  AlertForm form = MakeAlertForm("m", 4, 0, "", "", "P");
  AlertKeys machine(form);
  EXPECT_EQ(machine.Focus(), 1);
  machine.SetFocus(3);
  EXPECT_EQ(machine.OnKey(AlertKey::Enter), 3);
  machine.SetFocus(5);  // hidden: the focus stays
  EXPECT_EQ(machine.Focus(), 3);
  EXPECT_EQ(ButtonForMnemonic(form, ""), -1);
}

}  // namespace
}  // namespace kelv
