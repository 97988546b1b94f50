// The dialog frmAlert as a real window (one back-end per OS: Win32 on Windows, FLTK on
// Linux). Both measure the text, lay the dialog out with ComputeAlertLayout and handle
// keys with AlertKeys.
#pragma once

#include <cstdint>
#include <optional>

#include "dialogs/alert_form.h"
#include "dialogs/alert_layout.h"

namespace kelv {

// Where the dialog was last shown, kept by the single dialog instance between calls.
struct AlertWindowPlace {
  bool placed = false;  // false until first shown: the dialog is then centred on the screen
  int left = 0, top = 0;
};

// What this back-end measures for form, in the fonts the window uses: the message's natural
// size and each caption's width. ComputeAlertLayout of it gives the window's geometry. Needs
// a window system (WindowSystemAvailable()).
AlertMetrics MeasureAlertWindow(const AlertForm& form);

// Shows form modally and waits for a button; returns its code, or the code of the last
// shown button when the window is closed without one. Returns nullopt when no window
// could be created, so the caller can fall back to the console.
std::optional<std::int16_t> ShowAlertWindow(const AlertForm& form, AlertWindowPlace& place);

}  // namespace kelv
