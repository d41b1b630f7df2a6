#include "core/run_state.h"

namespace dovrel {

RunState& runState() {
    static RunState state;
    return state;
}

void resetRunState() { runState() = RunState{}; }

}  // namespace dovrel
