// The command line and standard streams (Linux): arguments are bytes already and streams
// are never translated.
#include "platform/command_line.h"

namespace kelv {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseBinaryStreams() {}

}  // namespace kelv
