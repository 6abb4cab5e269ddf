#pragma once
// The device layer's states as a freshly started program has them (interface, drivers,
// 1-Wire, amplifier link transport), after the core layer's: one call.

namespace device {

void resetDeviceLayer();

} // namespace device
