// Yielding to the window system: the parts shared by every OS.
#include "platform/ui_yield.h"

namespace kelv {

std::function<void()>& YieldHook() {
  static std::function<void()> hook;
  return hook;
}

void SetYieldHook(std::function<void()> hook) { YieldHook() = std::move(hook); }

void YieldToWindowSystem(int times) {
  for (int i = 0; i < times; ++i) YieldToWindowSystem();
}

}  // namespace kelv
