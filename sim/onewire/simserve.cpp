// The tests' one-call simulated network: registered until resetTmex().

#include "sim/onewire/simbackend.h"

namespace platform {

bool useSimulatedNetwork(const std::filesystem::path& file, int portType, int portNum, std::string& error)
{
    auto backend = loadSimulatedNetwork(file, error);
    if (!backend)
        return false;
    registerBackend(portType, portNum, std::move(backend));
    return true;
}

std::shared_ptr<SimBackend> useSimulatedNetwork(std::shared_ptr<sim::SimNetwork> network, int portType, int portNum)
{
    auto backend = std::make_shared<SimBackend>(std::move(network));
    registerBackend(portType, portNum, backend);
    return backend;
}

} // namespace platform
