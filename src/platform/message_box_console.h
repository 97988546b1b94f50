// Console side of the message box and the message dialog (all OSes): the KELV_NO_UI rule,
// whether standard input is a terminal, and writing messages to standard error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelv {

// True when the environment variable KELV_NO_UI is set and non-empty: every message then
// goes to standard error and every dialog answers as Enter would, reading nothing.
bool UserInterfaceSuppressed();

// True when standard input is a terminal a person can answer on.
bool StdinIsTerminal();

// Writes text (UTF-8) and a final line break to standard error, flushed. On a Windows
// console the text is written as UTF-16 so accents show; redirected output gets the UTF-8
// bytes.
void WriteConsoleText(std::string_view text);

// Reads one line from standard input without its line break; nullopt at the end of input.
std::optional<std::string> ReadConsoleLine();

// One line of std::cin as its bytes, without the line break (a CR before it dropped too);
// nullopt at the end of input. ReadConsoleLine's way when no Windows console is attached.
std::optional<std::string> ReadStdinLine();

// The text of a message box as written to the console: "title: text" (just the text when
// the title is empty), line breaks normalised to '\n'.
std::string ConsoleMessageText(std::string_view text, std::string_view title);

// The console form of a message box: writes the message to standard error and, when
// standard input is a terminal and the user interface is not suppressed, waits for Enter.
void ShowConsoleMessageBox(std::string_view text, std::string_view title);

}  // namespace kelv
