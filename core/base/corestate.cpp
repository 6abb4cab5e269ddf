#include "core/base/corestate.h"

namespace core {

namespace {
CoreState state;
}

CoreState& coreState() { return state; }
void resetCoreState() { state = CoreState{}; }

} // namespace core
