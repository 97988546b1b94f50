// The command line and standard output of the confbase tool (Linux): arguments are UTF-8
// already and output is never translated.
#include "console.h"

namespace kelv {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseBinaryOutput() {}

}  // namespace kelv
