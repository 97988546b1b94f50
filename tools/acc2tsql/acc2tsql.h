// The acc2tsql command: options, reading the queries and writing their translations
// (all OSes).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelv {

// Runs acc2tsql with the given arguments (after the program's name); a query named "-" (or
// the only one, when no file is named) is read from entrada. Translations go to salida;
// parameters, warnings and failures to errores. Returns the exit status: 0 when every query
// was translated, 1 when one failed or could not be read, 2 for a bad command line, 3 when
// every query was translated but some construct had no T-SQL translation.
int EjecutaAcc2tsql(const std::vector<std::string>& args, std::istream& entrada,
                    std::ostream& salida, std::ostream& errores);

}  // namespace kelv
