// Taking the argument text out of a command line (all OSes).
#include "update/command_line.h"

namespace kelv {

std::string ArgumentsOfCommandLine(std::string_view commandLine) {
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  // The program name ends at the next blank, outside quotes.
  bool quoted = false;
  for (; i < n; ++i) {
    const char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      break;
    }
  }
  while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return std::string(commandLine.substr(i));
}

}  // namespace kelv
