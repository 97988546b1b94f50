// Whether windows can be shown, on Windows: the desktop is always there.
#include "platform/message_box_display.h"

namespace kelv {

bool WindowSystemAvailable() { return true; }

}  // namespace kelv
