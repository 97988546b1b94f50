// Whether standard error is a terminal, for the progress bar (one back-end per OS).
#pragma once

namespace kelv {

// True when standard error is shown on a terminal (not a file or a pipe).
bool StderrIsTerminal();

}  // namespace kelv
