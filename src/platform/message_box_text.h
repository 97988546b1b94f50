// Text preparation shared by the message box and the dialog back-ends (all OSes; pure).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// text with every CR LF, and every lone CR, turned into '\n'.
std::string NormaliseLineBreaks(std::string_view text);

// text as an FLTK box label shows it literally: line breaks normalised and '@' (the mark of
// a drawn symbol there) doubled. Box labels show '&' as it is.
std::string LiteralFltkLabel(std::string_view text);

}  // namespace kelv
