// Keyboard handling of the dialog frmAlert, shared by every back-end (all OSes; pure).
//
// Right and left arrows, like Tab and Shift+Tab, move the focus to the next or previous shown
// button in tab order (button 0 to 5, wrapping round), Enter presses the focused button, and any other key presses the first shown
// button whose upper-cased caption contains "&" followed by the key's upper-cased
// character. Escape and unmatched keys do nothing. The focus starts on the first shown
// button.
#pragma once

#include <string>
#include <string_view>

#include "dialogs/alert_form.h"

namespace kelv {

enum class AlertKey { Right, Left, Tab, ShiftTab, Enter, Escape, Character, Other };

class AlertKeys {
 public:
  explicit AlertKeys(const AlertForm& form);

  // Handles one key. ch is the key's character (UTF-8) when key is Character. Returns the
  // index of the button pressed, or -1 when the key presses none.
  int OnKey(AlertKey key, std::string_view ch = {});

  // The focused button (-1 when no button is shown).
  int Focus() const { return focus_; }

  // Moves the focus to button index when it is shown (a click or the toolkit moved it).
  void SetFocus(int index);

 private:
  int Step(int direction) const;

  const AlertForm& form_;
  int focus_;
};

// Index of the first shown button whose upper-cased caption contains "&" followed by the
// upper-cased ch, or -1.
int ButtonForMnemonic(const AlertForm& form, std::string_view ch);

}  // namespace kelv
