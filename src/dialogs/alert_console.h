// The dialog frmAlert on the console (all OSes): for runs without a display and for
// KELV_NO_UI. The message and the shown buttons go to standard error.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/alert_form.h"

namespace kelv {

// A caption as shown on the console: the mnemonic letter in brackets ("S&i a todo" ->
// "S[i] a todo"), "&&" as a plain "&".
std::string ConsoleCaption(std::string_view caption);

// The lines written to standard error: "title: message", then "Botones:" with the shown
// buttons and the one Enter presses.
std::string ConsoleAlertText(const AlertForm& form);

// Writes ConsoleAlertText to standard error. When readAnswer is true it then reads lines
// from standard input until one names a button: an empty line is Enter (the first shown
// button), otherwise the first character is taken as a mnemonic letter; the end of input
// closes the dialog without a button. When readAnswer is false it answers as Enter would.
// Returns the pressed button's code.
std::int16_t ShowAlertOnConsole(const AlertForm& form, bool readAnswer);

}  // namespace kelv
