// Console side of the message box and the dialog on Linux: terminal check and stderr.
#include <unistd.h>

#include <cstdio>

#include "platform/message_box_console.h"

namespace kelv {

bool StdinIsTerminal() { return ::isatty(0) == 1; }

void WriteConsoleText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

std::optional<std::string> ReadConsoleLine() { return ReadStdinLine(); }

}  // namespace kelv
