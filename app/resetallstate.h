#pragma once
// Every area's state as a freshly started program has it: the top of the resets per layer
// (platform's 1-Wire sessions < core < device < shell < editor / amplifier), each beside
// its layer's state accessors. Hooks are not state: the objects holding them put them back.

namespace app {

void resetAllState();

} // namespace app
