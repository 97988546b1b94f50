// Yielding to the window system on Windows: dispatches the thread's pending messages once.
#include <windows.h>

#include "platform/ui_yield.h"

namespace kelv {

std::function<void()>& YieldHook();

void YieldToWindowSystem() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (auto& hook = YieldHook()) hook();
}

}  // namespace kelv
