// The command line and standard streams of acc2tsql (one back-end per OS).
#pragma once

#include <string>
#include <vector>

namespace kelv {

// The program's arguments after its name, as UTF-8 (on Windows taken from the wide
// command line, so file names outside the ANSI code page survive).
std::vector<std::string> ArgumentosUtf8(int argc, char** argv);

// Makes standard input, output and error pass bytes exactly as given (no line-break
// translation), so CR LF inside a query or a translation survives.
void UsaFlujosBinarios();

}  // namespace kelv
