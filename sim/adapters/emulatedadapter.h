#pragma once
// A simulated network behind a chosen adapter: the simulated network's own backend, or a
// real adapter backend talking its protocol to an emulator of that adapter (in-memory
// serial line or emulated USB). Tests and benchmarks run the same jobs over each.
// TEDSMITH_TEST_ADAPTER (sim, passive, ds2480b, ds2490) chooses it for test programs
// that serve their network through serveFromEnvironment().

#include "platform/adapters/adaptertraffic.h"
#include "platform/onewire/tmex.h"
#include "sim/adapters/ds2480bemu.h"
#include "sim/adapters/ds2490emu.h"
#include "sim/adapters/passiveadapteremu.h"
#include "sim/onewire/simnetwork.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::emu {

enum class AdapterKind { Simulated, PassiveSerial, Ds2480b, Ds2490 };

inline constexpr const char* kTestAdapterVariable = "TEDSMITH_TEST_ADAPTER";

// "sim", "passive", "ds2480b", "ds2490".
std::string adapterKeyword(AdapterKind kind);
std::optional<AdapterKind> adapterFromKeyword(const std::string& word);

// What serves a port: the backend, its traffic counters (nullptr for the simulated
// network's backend) and the emulator that stands in for the adapter (one of them).
struct EmulatedAdapter {
    AdapterKind kind = AdapterKind::Simulated;
    std::shared_ptr<OneWireBackend> backend;
    AdapterTraffic* traffic = nullptr;
    std::shared_ptr<SerialAdapterEmu> serialEmu;  // passive serial and DS2480B
    Ds2480bEmu* ds2480b = nullptr;
    Ds2490Emu* ds2490 = nullptr;                  // owned by the backend

    // What the emulator was sent that its chip does not allow (none for the simulated
    // network's own backend).
    std::vector<std::string> protocolErrors() const;
    void clearProtocolErrors();
};

// Builds the backend for kind in front of network and registers it for the port.
EmulatedAdapter serveEmulated(AdapterKind kind, std::shared_ptr<sim::SimNetwork> network, int portType, int portNum);
// As serveEmulated, the kind taken from TEDSMITH_TEST_ADAPTER (the simulated network's own
// backend when it is not set).
EmulatedAdapter serveFromEnvironment(std::shared_ptr<sim::SimNetwork> network, int portType, int portNum);

} // namespace platform::emu
