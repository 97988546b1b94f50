// One step of a continue-on-error sequence (all OSes): the step runs, and any failure it
// raises is swallowed so the next step follows.
#pragma once

namespace kelv {

// Runs step(); a failure inside it is ignored. True when it ran to its end.
template <class Step>
bool IgnorarFallo(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kelv
