// Yielding to the window system outside Windows: runs the toolkit's hook, if any.
#include "platform/ui_yield.h"

namespace kelv {

std::function<void()>& YieldHook();

void YieldToWindowSystem() {
  if (auto& hook = YieldHook()) hook();
}

}  // namespace kelv
