// The node scan through an amplifier's 1-Wire master: the simulated amplifier on an
// in-memory serial line, on virtual time.

#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "platform/base/scopedhook.h"
#include "shell/state/shelllayer.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "device/amplink/peloxtransport.h"
#include "sim/amplifier/amplifierchain.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"
#include "sim/serial/memoryserialport.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/virtualservices.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

using platform::sim::RomCode;

class AmplifierScan : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
    AmplifierScan() : VirtualServices(false)
    {
        auto& ds = device::deviceState();
        ds.InterfaceType = device::InterfaceType::AmplifierLink;
        ds.SelectedAmplifier = 1;
        ds.SelectedChannel = 2;
        ds.AmpAddressing = true;
        EXPECT_TRUE(port.setPortOpen(true));
        shell::jobQueue().StartJobQue();
        net().addNode(memory);
        net().addNode(thermo);
    }
    ~AmplifierScan() override
    {
        // The node windows go while the factory and the hooks are still there.
        shell::resetNodesState();
        shell::collectDeferred();
    }

    static platform::sim::AmplifierSimConfig config()
    {
        platform::sim::AmplifierSimConfig c;
        c.amplifiers[0].channels[1].master = platform::sim::MasterMode::MultiDrop;
        return c;
    }
    platform::sim::SimNetwork& net() { return chain.amplifier(1).channel(2).network(); }
    bool listed(const std::string& id)
    {
        shell::NodeTree::Handle h;
        bool found = false;
        shell::NodeInList(id, h, found);
        return found;
    }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    platform::sim::AmplifierChain chain{config()};
    platform::MemorySerialPort port{&chain};
    platform::ScopedHook<platform::SerialPort*> portHook{&device::setPeloxPort, &port};
    shell::MinimalNodeWindowFactory windows;
    app::NodeWiring wiring{{.windows = &windows, .driverNodes = nullptr, .collect = [](int) {}}};
    std::shared_ptr<platform::sim::SimDs2431> memory =
        std::make_shared<platform::sim::SimDs2431>(RomCode::make(0x2D, 0x0A0B0C));
    std::shared_ptr<platform::sim::SimThermometer> thermo =
        std::make_shared<platform::sim::SimThermometer>(RomCode::make(0x10, 0x0D0E0F));
};

TEST_F(AmplifierScan, NodesFoundThroughTheAmplifierNeverAge)
{
    shell::scanUntilPassEnds();
    ASSERT_TRUE(listed(memory->rom().nodeId()));
    ASSERT_TRUE(listed(thermo->rom().nodeId()));
    // A blank DS2431 holds no TEDS.
    EXPECT_EQ(shell::nodesState().TrList.at(shell::NodeIndexFromId(memory->rom().nodeId())).state, 1);
    EXPECT_FALSE(shell::jobQueue().HourGlass());

    net().removeNode(thermo->rom());
    for (int pass = 0; pass < 5; ++pass)
        shell::scanUntilPassEnds();
    EXPECT_TRUE(listed(thermo->rom().nodeId()));
    for (const auto& r : shell::nodesState().TrList)
        EXPECT_EQ(r.lives, 4);
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
