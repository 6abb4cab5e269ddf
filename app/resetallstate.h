#pragma once
// Every area's state as a freshly started program has it: one call over the resets that
// sit beside each state accessor (platform's 1-Wire sessions, core, device, shell,
// editor, amplifier). Hooks are not state: the objects holding them put them back.

namespace app {

void resetAllState();

} // namespace app
