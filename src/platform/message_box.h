// The plain system message box: exclamation icon, one OK button, a title (all OSes).
//
// Windows shows the system's own message box. Linux shows a small FLTK window when a
// display can be opened. Without a display, or with the environment variable KELV_NO_UI set
// and non-empty, the message goes to standard error instead (see message_box_console.h).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// Shows text with an exclamation icon and one OK button, and returns when it is closed.
// An empty title shows the application title. Without a display the text is written to
// standard error; when standard input is a terminal (and KELV_NO_UI is not set) it then
// waits for Enter. It never waits for input that cannot come.
void ShowMessageBox(std::string_view text, std::string_view title = {});

// Sets the application title shown by message boxes that carry no title of their own.
// It is empty until this is called.
void SetApplicationTitle(std::string_view title);

// The application title last set (empty when never set).
std::string ApplicationTitle();

}  // namespace kelv
