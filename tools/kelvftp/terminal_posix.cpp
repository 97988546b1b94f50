// Whether standard error is a terminal, on Linux.
#include <unistd.h>

#include "terminal.h"

namespace kelv {

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace kelv
