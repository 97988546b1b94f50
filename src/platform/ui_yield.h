// Yielding to the window system during long work, so user-interface handlers can run
// (all OSes).
#pragma once

#include <functional>

namespace kelv {

// Processes the window messages that are pending, once, without waiting. On Windows this
// dispatches the thread's queued messages; elsewhere it runs the hook that the active user
// interface toolkit installed (nothing when none did).
void YieldToWindowSystem();

// Repeats YieldToWindowSystem() times times.
void YieldToWindowSystem(int times);

// Installs the function YieldToWindowSystem runs outside Windows (for example one that
// lets the toolkit handle its pending events); an empty function removes it.
void SetYieldHook(std::function<void()> hook);

}  // namespace kelv
