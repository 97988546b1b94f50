// Runs one step of an operation that ignores its own failures step by step (all OSes).
#pragma once

#include <stdexcept>

#include "text/error.h"

namespace kelv {

// Runs paso(); a KelvError or a logic error (bad position or length) it raises is dropped
// so that the next step runs. Running out of memory is not swallowed.
template <typename Paso>
void IgnorarFallo(Paso&& paso) {
  try {
    paso();
  } catch (const KelvError&) {
  } catch (const std::logic_error&) {
  }
}

}  // namespace kelv
