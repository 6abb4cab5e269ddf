#pragma once
// The simulated network behind the 1-Wire calls, and how a user asks for it.
//
// The simulated network is never used in place of hardware unless asked for: the
// environment variable TEDSMITH_SIMNET names a network description file, whose network
// then serves every port type and number. isSimulated() and backendDescription()
// (tmex.h) tell the program so, and the port type version text says it too.
// Every session start first reads the description file again when it was changed,
// so nodes added to or removed from the file are plugged in or out while the program runs.

#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"

#include <filesystem>

namespace platform {

inline constexpr const char* kSimNetworkVariable = "TEDSMITH_SIMNET";

class SimBackend final : public OneWireBackend {
public:
    explicit SimBackend(std::shared_ptr<sim::SimNetwork> network);

    sim::SimNetwork& network() { return *network_; }
    const std::shared_ptr<sim::SimNetwork>& networkPtr() const { return network_; }

    int openSession() override;
    void closeSession() override;
    bool setup() override { return true; }
    bool reset() override { return network_->reset(); }
    int touchBit(int bit) override { return network_->touchBit(bit); }
    int touchByte(int byte) override { return network_->touchByte(static_cast<std::uint8_t>(byte & 0xFF)); }
    void setStrongPullup(bool on) override { network_->setStrongPullup(on); }
    bool strongPullup() const override { return network_->strongPullupOn(); }
    bool programPulse() override { return network_->programPulse(); }
    void setSpeed(int speed) override;
    int speed() const override { return static_cast<int>(network_->speed()); }
    bool isSimulated() const override { return true; }
    std::string description() const override;
    std::string typeVersion(int portType) const override;
    // Why the last reload of a changed description file failed ("" when it did not).
    const std::string& reloadError() const { return reloadError_; }

private:
    std::shared_ptr<sim::SimNetwork> network_;
    std::string reloadError_;
};

// The network of a description file behind a backend, for its owner to register;
// nullptr with error set when the file cannot be loaded.
std::shared_ptr<SimBackend> loadSimulatedNetwork(const std::filesystem::path& file, std::string& error);

struct SimNetworkSetup {
    bool requested = false;  // the variable is set
    bool loaded = false;     // and its file was loaded
    std::string message;     // the description, or why loading failed
    std::shared_ptr<SimBackend> backend;  // when loaded: to serve every port (-1, -1)
};
// Reads TEDSMITH_SIMNET and, when it names a file, loads its network. Registers nothing.
SimNetworkSetup configureSimulatedNetworkFromEnvironment();

// The tests' one call (simserve.cpp): serves (portType, portNum) (-1 = any) until
// resetTmex() or the next registration for the key. The program registers through app/.
// With the network of a description file; false with error set when it cannot be loaded.
bool useSimulatedNetwork(const std::filesystem::path& file, int portType, int portNum, std::string& error);
// With a network made elsewhere (a simulated amplifier sharing it).
std::shared_ptr<SimBackend> useSimulatedNetwork(std::shared_ptr<sim::SimNetwork> network, int portType = -1,
                                                int portNum = -1);

// Reads the description files of the simulated networks again: nodes added to the file
// are plugged in, nodes gone from it are unplugged, the others keep their state.
bool reloadSimulatedNetworks(std::string& error);

// The simulated network serving the port, or nullptr.
std::shared_ptr<sim::SimNetwork> simulatedNetwork(int portType, int portNum);

} // namespace platform
