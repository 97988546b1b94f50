// The dialog as a window: not yet drawn here, so the caller uses the console.
#include "dialogs/alert_window.h"

namespace kelv {

std::optional<std::int16_t> ShowAlertWindow(const AlertForm&, AlertWindowPlace&) {
  return std::nullopt;
}

}  // namespace kelv
