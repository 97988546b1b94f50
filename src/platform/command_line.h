// The command line and standard streams of the command-line programs (all OSes).
#pragma once

#include <string>
#include <vector>

namespace kelv {

// The program's arguments after its name, as UTF-8 (on Windows taken from the wide
// command line, so characters outside the ANSI code page survive).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the standard streams pass bytes exactly as given (no line-break translation), so a
// file redirected from or to them keeps its CR LF; on Windows a console is switched to
// UTF-8 output, since the programs write UTF-8 text. Nothing to do elsewhere.
void UseBinaryStreams();

}  // namespace kelv
