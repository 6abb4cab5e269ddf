#include "core/tdl/tdlstate.h"

namespace core {

namespace {
TdlState state;
}

TdlState& tdlState() { return state; }
void resetTdlState() { state = TdlState{}; }
int TemplatesLoaded() { return state.TemplateParseLast + 1; }

} // namespace core
