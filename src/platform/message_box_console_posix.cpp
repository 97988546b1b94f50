// Console side of the message box and the dialog on Linux: terminal check and stderr.
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/message_box_console.h"

namespace kelv {

bool StdinIsTerminal() { return ::isatty(0) == 1; }

void WriteConsoleText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

std::optional<std::string> ReadConsoleLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace kelv
