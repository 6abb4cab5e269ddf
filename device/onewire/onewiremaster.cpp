#include "device/onewire/onewiremaster.h"

#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"

namespace device {

OneWireMaster& oneWireMaster()
{
    return deviceState().InterfaceType == device::InterfaceType::Adapter ? adapterMaster() : amplifierMaster();
}

void markIoError() { oneWireState().IoError = true; }

} // namespace device
