#pragma once
// The core layer's states as a freshly started program has them, and the platform's
// below them (the 1-Wire sessions): one call over the resets beside each state accessor.

namespace core {

void resetCoreLayer();

} // namespace core
