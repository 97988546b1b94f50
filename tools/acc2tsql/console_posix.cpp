// The command line and standard streams of acc2tsql (Linux): already bytes.
#include "console.h"

namespace kelv {

std::vector<std::string> ArgumentosUtf8(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UsaFlujosBinarios() {}

}  // namespace kelv
