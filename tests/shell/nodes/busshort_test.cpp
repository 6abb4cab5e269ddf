// A shorted 1-Wire bus behind each real adapter backend (against its emulator), seen
// through the node scan: told once while it lasts and again after it cleared and came
// back, every pass still ends, so the nodes age out of the tree.

#include "tests/support/nodefakes.h"

#include "device/onewire/tmexerror.h"
#include "sim/adapters/emulatedadapter.h"
#include "sim/onewire/simnode.h"

#include <algorithm>

using namespace nodetest;
using platform::emu::AdapterKind;

namespace {

class BusShort : public NodesFixture, public ::testing::WithParamInterface<AdapterKind> {
protected:
    BusShort()
    {
        auto& ds = device::deviceState();
        ds.PortNum = 1;
        ds.PortType = 5;
        adapter = platform::emu::serveEmulated(GetParam(), net, 5, 1);
        shell::setScanBus(nullptr);  // the real search through device access
    }
    // The sessions close while the emulator is there.
    ~BusShort() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }

    void shorten(bool on)
    {
        if (adapter.serialEmu)
            adapter.serialEmu->setShorted(on);
        else
            adapter.ds2490->setShorted(on);
    }
    bool listed(const std::string& id)
    {
        shell::NodeTree::Handle h;
        bool found = false;
        shell::NodeInList(id, h, found);
        return found;
    }
    int shortMessages() const
    {
        return static_cast<int>(std::count_if(box.shown.begin(), box.shown.end(), [](const auto& m) {
            return m.prompt.find("1-Wire bus short circuit on ") != std::string::npos;
        }));
    }
    int shortTraces() const
    {
        return static_cast<int>(std::count_if(trace.lines.begin(), trace.lines.end(), [](const std::string& l) {
            return l.find("1-Wire bus short circuit on ") == 0;
        }));
    }

    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    platform::emu::EmulatedAdapter adapter;
};

TEST_P(BusShort, IsToldOnceEndsEveryPassAndTheNodesAgeOut)
{
    const auto rom = platform::sim::RomCode::make(0x01, 0x5A);
    net->addNode(platform::sim::makeNode(rom));
    tickScan();
    ASSERT_TRUE(listed(rom.nodeId()));
    EXPECT_EQ(shortMessages(), 0);

    shorten(true);
    // Each tick's pass is one step that ends it: the short is a pass end, not a hang.
    EXPECT_EQ(tickScan(), 1);
    const std::string told = device::busFault();
    EXPECT_NE(told.find(adapter.backend->description()), std::string::npos) << told;
    EXPECT_TRUE(listed(rom.nodeId()));
    tickScan();
    // The third pass that misses the node removes it (and the removal runs one more).
    tickScan();
    EXPECT_FALSE(listed(rom.nodeId()));
    EXPECT_EQ(shortMessages(), 1);
    EXPECT_EQ(shortTraces(), 1);
    for (int tick = 0; tick < 5; ++tick)
        tickScan();
    EXPECT_EQ(shortMessages(), 1);

    // Cleared: the node comes back; shorted again: told again.
    shorten(false);
    tickScan();
    EXPECT_TRUE(listed(rom.nodeId()));
    EXPECT_EQ(device::busFault(), "");
    shorten(true);
    tickScan();
    EXPECT_EQ(shortMessages(), 2);
    EXPECT_EQ(shortTraces(), 2);
}

INSTANTIATE_TEST_SUITE_P(Adapters, BusShort,
                         ::testing::Values(AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490),
                         [](const auto& info) { return platform::emu::adapterKeyword(info.param); });

} // namespace
