#pragma once
// The shell layer's states as a freshly started program has them (the node list, the
// scan and its reported errors, the interface, the job queue), after the device and core
// layers': one call. Hooks are not state: the objects holding them put them back.

namespace shell {

void resetShellLayer();

} // namespace shell
