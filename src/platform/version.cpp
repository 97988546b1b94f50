// The project version, compiled in from CMake's project(VERSION) (all OSes).
#include "platform/version.h"

#include <cstdio>
#include <cstring>

namespace kelv {

bool ShowVersionIfAsked(int argc, char** argv, const char* program) {
  if (argc < 2 || std::strcmp(argv[1], "--version") != 0) return false;
  std::printf("%s %s\n", program, KELV_PROJECT_VERSION);
  std::fflush(stdout);
  return true;
}

}  // namespace kelv
