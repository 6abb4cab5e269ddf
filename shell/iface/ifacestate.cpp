#include "shell/iface/ifacestate.h"

namespace shell {

namespace {
IfaceState state;
}

IfaceState& ifaceState() { return state; }
void resetIfaceState() { state = IfaceState{}; }

} // namespace shell
