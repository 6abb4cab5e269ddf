#include "device/state/devicelayer.h"

#include "core/state/corelayer.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"

namespace device {

void resetDeviceLayer()
{
    core::resetCoreLayer();
    resetDeviceState();
    resetDriverState();
    resetOneWireState();
    resetTransportState();
}

} // namespace device
