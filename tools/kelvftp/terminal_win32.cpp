// Whether standard error is a terminal, on Windows.
#include <io.h>
#include <stdio.h>

#include "terminal.h"

namespace kelv {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace kelv
