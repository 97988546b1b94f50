// The installer's own command line as one argument text (all OSes).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// The argument text of this process: on Windows the process command line less the program
// name; elsewhere the arguments joined by single blanks.
std::string OwnArgumentText(int argc, char** argv);

// The argument text of a Windows command line: what follows the program name (quoted or
// not) and the blanks after it.
std::string ArgumentsOfCommandLine(std::string_view commandLine);

}  // namespace kelv
