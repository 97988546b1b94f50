// Text preparation shared by the message box and the dialog back-ends (all OSes; pure).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// text with every CR LF, and every lone CR, turned into '\n'.
std::string NormaliseLineBreaks(std::string_view text);

// text as the FLTK label drawer shows it literally: line breaks normalised, and '&' and
// '@' (mnemonic and symbol marks there) doubled.
std::string LiteralFltkLabel(std::string_view text);

}  // namespace kelv
