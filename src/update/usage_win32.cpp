// The installer's usage text on Windows: the windowed program has no console to print to,
// so the text is shown in the plain message box.
#include "platform/message_box.h"
#include "update/usage.h"

namespace kelv {

void ShowUsage(std::string_view text) { ShowMessageBox(text, "Actualizador"); }

}  // namespace kelv
