#pragma once
// A simulated 1-Wire network behind a DS9097U adapter on port 1: fresh device, 1-Wire
// and TMEX states, then every 1-Wire call served by the network. selectAdapterPort() is
// the first half alone, for a test that serves the port its own way. Header only: the
// tests that include it link the device libraries themselves.

#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"

#include <memory>

namespace testing_support {

inline void selectAdapterPort()
{
    platform::resetTmex();
    device::resetDeviceState();
    device::resetOneWireState();
    auto& ds = device::deviceState();
    ds.InterfaceType = device::InterfaceType::Adapter;
    ds.PortNum = 1;
    ds.PortType = 5;
}

inline void plugSimulatedAdapter(const std::shared_ptr<platform::sim::SimNetwork>& net)
{
    selectAdapterPort();
    platform::useSimulatedNetwork(net, 5, 1);
}

} // namespace testing_support
