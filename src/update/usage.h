// Showing the installer's usage text, asked for with --help or /? (all OSes).
#pragma once

#include <string_view>

namespace kelv {

// Shows text where the person who asked can read it: on standard output outside Windows;
// on Windows, where the windowed installer has no console, in a message box titled
// "Actualizador" (on standard error when KELV_NO_UI is set). Returns when it has been read.
void ShowUsage(std::string_view text);

}  // namespace kelv
