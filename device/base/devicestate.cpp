#include "device/base/devicestate.h"

namespace device {

namespace {
DeviceState state;
}

DeviceState& deviceState() { return state; }
void resetDeviceState() { state = DeviceState{}; }

} // namespace device
