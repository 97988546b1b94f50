// The plain message box: the application title and the console form (all OSes).
#include <cstdio>
#include <iostream>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/message_box_console.h"
#include "platform/message_box_text.h"

namespace kelv {

namespace {
std::string& TitleStore() {
  static std::string title;
  return title;
}
}  // namespace

void SetApplicationTitle(std::string_view title) { TitleStore() = std::string(title); }

std::string ApplicationTitle() { return TitleStore(); }

bool UserInterfaceSuppressed() {
  auto value = GetEnv("KELV_NO_UI");
  return value && !value->empty();
}

std::optional<std::string> ReadStdinLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string ConsoleMessageText(std::string_view text, std::string_view title) {
  std::string out;
  if (!title.empty()) {
    out.append(title);
    out.append(": ");
  }
  out.append(NormaliseLineBreaks(text));
  return out;
}

void ShowConsoleMessageBox(std::string_view text, std::string_view title) {
  WriteConsoleText(ConsoleMessageText(text, title));
  if (UserInterfaceSuppressed() || !StdinIsTerminal()) return;
  WriteConsoleText("[Aceptar: pulse Enter]");
  ReadConsoleLine();
}

}  // namespace kelv
