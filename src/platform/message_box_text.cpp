// Text preparation shared by the message box and the dialog back-ends (all OSes).
#include "platform/message_box_text.h"

namespace kelv {

std::string NormaliseLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string LiteralFltkLabel(std::string_view text) {
  std::string out;
  for (char c : NormaliseLineBreaks(text)) {
    if (c == '@') out.push_back(c);
    out.push_back(c);
  }
  return out;
}

}  // namespace kelv
