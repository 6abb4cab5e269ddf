#include "platform/adapters/adapterbackends.h"

#include "platform/adapters/ds2480bbackend.h"
#include "platform/adapters/ds2490backend.h"
#include "platform/adapters/libusbtransfer.h"
#include "platform/adapters/passiveserialbackend.h"
#include "platform/serial/termiosserialport.h"

namespace platform {

void registerAdapterBackends()
{
    for (int port = 1; port <= 4; ++port) {
        registerBackend(kPassiveSerialPortType, port,
                        std::make_shared<PassiveSerialBackend>(std::make_unique<TermiosSerialPort>(), port));
        registerBackend(kDs2480bPortType, port,
                        std::make_shared<Ds2480bBackend>(std::make_unique<TermiosSerialPort>(), port));
        registerBackend(kDs2490PortType, port,
                        std::make_shared<Ds2490Backend>(
                            std::make_unique<LibusbTransfer>(ds2490::kVendorId, ds2490::kProductId, port)));
    }
}

} // namespace platform
