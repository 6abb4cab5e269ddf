#include "platform/adapters/adapterbackends.h"

#include "platform/adapters/ds2480bbackend.h"
#include "platform/adapters/ds2490backend.h"
#include "platform/adapters/libusbtransfer.h"
#include "platform/adapters/passiveserialbackend.h"
#include "platform/serial/termiosserialport.h"

namespace platform {

std::vector<PortBackend> adapterBackends()
{
    std::vector<PortBackend> out;
    for (int port = 1; port <= 4; ++port) {
        out.push_back({kPassiveSerialPortType, port,
                       std::make_shared<PassiveSerialBackend>(std::make_unique<TermiosSerialPort>(), port)});
        out.push_back({kDs2480bPortType, port,
                       std::make_shared<Ds2480bBackend>(std::make_unique<TermiosSerialPort>(), port)});
        out.push_back({kDs2490PortType, port,
                       std::make_shared<Ds2490Backend>(
                           std::make_unique<LibusbTransfer>(ds2490::kVendorId, ds2490::kProductId, port))});
    }
    return out;
}

} // namespace platform
