#include "device/amplink/linehold.h"

namespace device {

namespace {
bool held_ = false;
}

LineHold::LineHold() : owns_(!held_) { held_ = true; }

LineHold::~LineHold()
{
    if (owns_)
        held_ = false;
}

bool lineHeld() { return held_; }

} // namespace device
