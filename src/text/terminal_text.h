// Outside text (a server's names and replies, a query being reported) made safe to show on a
// terminal (all OSes, pure).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// text with everything that could drive a terminal written as an escape: carriage return,
// line feed and tab as \r, \n and \t, the other C0 controls, DEL and C1 controls as \xNN
// (ESC is \x1b), bytes that are not UTF-8 as \xNN, and the Unicode
// marks that reorder or hide text (U+200E, U+200F, U+202A..U+202E, U+2066..U+2069) as \uNNNN.
// Everything else, backslashes included, is kept as it is.
std::string EscapeControls(std::string_view text);

}  // namespace kelv
