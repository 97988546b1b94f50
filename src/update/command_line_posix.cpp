// The installer's argument text outside Windows: its arguments joined by blanks.
#include "update/command_line.h"

namespace kelv {

std::string OwnArgumentText(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

}  // namespace kelv
