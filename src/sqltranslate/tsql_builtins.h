// The names T-SQL itself gives a meaning before "(" (all OSes): its built-in functions, the
// types written with a size, and the keywords a parenthesis may follow. A name called like a
// function that is none of these is a function the target database does not have.
#pragma once

#include <string_view>

namespace kelv {

// Whether nombre (letter case ignored) is a T-SQL built-in function, a type written with a
// size or precision (varchar(10), decimal(18,2)) or a keyword that a "(" may follow (IN,
// EXISTS, VALUES, OVER, AS, AND, ...).
bool ConocidoEnTSql(std::string_view nombre);

}  // namespace kelv
