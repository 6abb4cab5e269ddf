#include "sim/onewire/simbackend.h"

#include "platform/base/system.h"

namespace platform {

namespace {

std::string portTypeName(int portType)
{
    switch (portType) {
    case 1:
        return "passive serial adapter";
    case 5:
        return "serial adapter with line driver";
    case 6:
        return "USB adapter";
    default:
        return "port type " + std::to_string(portType);
    }
}

} // namespace

SimBackend::SimBackend(std::shared_ptr<sim::SimNetwork> network) : network_(std::move(network)) {}

int SimBackend::openSession()
{
    std::string error;
    switch (network_->reloadIfChanged(error)) {
    case sim::SimNetwork::Reload::Reloaded:
        reloadError_.clear();
        break;
    case sim::SimNetwork::Reload::Failed:
        reloadError_ = error;
        break;
    case sim::SimNetwork::Reload::Unchanged:
        break;
    }
    if (auto code = network_->takeSessionFault())
        return *code > 0 ? 0 : *code;
    return 1;
}

void SimBackend::closeSession() { network_->setStrongPullup(false); }

void SimBackend::setSpeed(int speed)
{
    network_->setSpeed(speed == 1 ? sim::Speed::Overdrive : speed == 2 ? sim::Speed::Relaxed : sim::Speed::Standard);
}

std::string SimBackend::description() const
{
    const auto& file = network_->sourceFile();
    if (file.empty())
        return "Simulated microLAN";
    std::string text = "Simulated microLAN: " + file.filename().string();
    if (!reloadError_.empty())
        text += " (edited file not loaded: " + reloadError_ + ")";
    return text;
}

std::string SimBackend::typeVersion(int portType) const
{
    return description() + " (no hardware; stands in for the " + portTypeName(portType) + ")";
}

std::shared_ptr<SimBackend> loadSimulatedNetwork(const std::filesystem::path& file, std::string& error)
{
    auto network = std::make_shared<sim::SimNetwork>();
    if (!network->loadFile(file, error))
        return nullptr;
    return std::make_shared<SimBackend>(std::move(network));
}

SimNetworkSetup configureSimulatedNetworkFromEnvironment()
{
    SimNetworkSetup out;
    const auto value = environment(kSimNetworkVariable);
    if (!value || value->empty())
        return out;
    out.requested = true;
    std::string error;
    out.backend = loadSimulatedNetwork(std::filesystem::path(*value), error);
    if (!out.backend) {
        out.message = std::string(kSimNetworkVariable) + ": " + error;
        return out;
    }
    out.loaded = true;
    out.message = out.backend->description();
    return out;
}

bool reloadSimulatedNetworks(std::string& error)
{
    bool ok = true;
    for (const auto& b : registeredBackends()) {
        auto* sim = dynamic_cast<SimBackend*>(b.get());
        if (!sim || sim->network().sourceFile().empty())
            continue;
        std::string why;
        if (!sim->network().reload(why)) {
            ok = false;
            error = why;
        }
    }
    return ok;
}

std::shared_ptr<sim::SimNetwork> simulatedNetwork(int portType, int portNum)
{
    auto b = backendFor(portType, portNum);
    auto* sim = dynamic_cast<SimBackend*>(b.get());
    return sim ? sim->networkPtr() : nullptr;
}

} // namespace platform
