// The command line and standard output of the confbase tool (one back-end per OS).
#pragma once

#include <string>
#include <vector>

namespace kelv {

// The program's arguments after its name, as UTF-8 (on Windows taken from the wide
// command line, so characters outside the ANSI code page survive).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes standard output and standard error write bytes exactly as given (no line-break
// translation), so that a branding file redirected from standard output keeps its CR LF;
// on Windows a console is switched to UTF-8 output.
void UseBinaryOutput();

}  // namespace kelv
