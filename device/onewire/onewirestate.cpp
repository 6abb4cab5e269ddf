#include "device/onewire/onewirestate.h"

#include <memory>

namespace device {

namespace {
// The TMEX state buffer is large; keep it off the stack of any copy.
std::unique_ptr<OneWireState> state = std::make_unique<OneWireState>();
}

OneWireState& oneWireState() { return *state; }
void resetOneWireState() { state = std::make_unique<OneWireState>(); }

} // namespace device
