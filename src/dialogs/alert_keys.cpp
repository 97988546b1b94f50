// Keyboard handling of the dialog: focus moves, Enter and mnemonic letters.
#include "dialogs/alert_keys.h"

#include "text/toolbox.h"

namespace kelv {

int ButtonForMnemonic(const AlertForm& form, std::string_view ch) {
  if (ch.empty()) return -1;
  const std::string wanted = "&" + UpperCase(ch);
  for (int k = 0; k < kAlertButtonCount; ++k) {
    const AlertButton& button = form.buttons[k];
    if (button.visible && InStr(UpperCase(button.caption), wanted) != 0) return k;
  }
  return -1;
}

AlertKeys::AlertKeys(const AlertForm& form) : form_(form), focus_(FirstShownButton(form)) {}

void AlertKeys::SetFocus(int index) {
  if (index >= 0 && index < kAlertButtonCount && form_.buttons[index].visible) focus_ = index;
}

int AlertKeys::Step(int direction) const {
  if (focus_ < 0) return focus_;
  int index = focus_;
  for (int i = 0; i < kAlertButtonCount; ++i) {
    index = (index + direction + kAlertButtonCount) % kAlertButtonCount;
    if (form_.buttons[index].visible) return index;
  }
  return focus_;
}

int AlertKeys::OnKey(AlertKey key, std::string_view ch) {
  switch (key) {
    case AlertKey::Right:
    case AlertKey::Tab:
      focus_ = Step(+1);
      return -1;
    case AlertKey::Left:
    case AlertKey::ShiftTab:
      focus_ = Step(-1);
      return -1;
    case AlertKey::Enter:
      return focus_;
    case AlertKey::Character:
      return ButtonForMnemonic(form_, ch);
    case AlertKey::Escape:
    case AlertKey::Other:
      return -1;
  }
  return -1;
}

}  // namespace kelv
