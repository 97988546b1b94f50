// The run state of the update installer (all OSes).
#include "update/run_state.h"

namespace kelv {

RunState& Estado() {
  static RunState state;
  return state;
}

}  // namespace kelv
