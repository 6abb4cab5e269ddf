// The DS2431 read and write through an amplifier's 1-Wire master: the simulated
// amplifier on an in-memory serial line, on virtual time.
#include "driverfixture.h"

#include "device/drivers/memorynode.h"
#include "device/amplink/peloxtransport.h"
#include "sim/amplifier/amplifierchain.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/serial/memoryserialport.h"

using namespace drivertest;
using platform::sim::SimDs2431;

namespace {

platform::sim::AmplifierSimConfig chainConfig(platform::sim::MasterMode mode)
{
    platform::sim::AmplifierSimConfig c;
    c.amplifiers[0].channels[1].master = mode;
    return c;
}

struct ModeRow {
    const char* name;
    platform::sim::MasterMode mode;
    bool addressing;
};

void PrintTo(const ModeRow& r, std::ostream* os) { *os << r.name; }

class ThroughAmplifier : public DriverFixture, public ::testing::WithParamInterface<ModeRow> {
protected:
    ThroughAmplifier()
    {
        device::resetTransportState();
        device::DeviceState& ds = device::deviceState();
        ds.InterfaceType = device::InterfaceType::AmplifierLink;
        ds.SelectedAmplifier = 1;
        ds.SelectedChannel = 2;
        ds.AmpAddressing = GetParam().addressing;
        EXPECT_TRUE(port.setPortOpen(true));
        device::setPeloxPort(&port);
        channelNet().addNode(node);
        nodes.listed = {node->rom().nodeId()};
    }
    ~ThroughAmplifier() override { device::setPeloxPort(nullptr); }

    platform::sim::SimNetwork& channelNet() { return chain.amplifier(1).channel(2).network(); }

    platform::sim::AmplifierChain chain{chainConfig(GetParam().mode)};
    platform::MemorySerialPort port{&chain};
    std::shared_ptr<SimDs2431> node =
        std::make_shared<SimDs2431>(platform::sim::RomCode::make(0x2D, 0x0A0B0C));
};

TEST_P(ThroughAmplifier, DS2431WriteThenReadGivesTheSameBytes)
{
    for (bool draft : {false, true}) {
        core::TedsBuf tb = image(*node, draft, draft ? 11 : 5);
        bool confirmed = false;
        ASSERT_TRUE(device::Write_Node(tb, confirmed)) << draft;
        for (int i = 1; i <= 128; ++i)
            ASSERT_EQ(node->memory()[static_cast<std::size_t>(i - 1)], tb.RawImage[static_cast<std::size_t>(i)]) << i;

        core::TedsBuf back = blank(*node);
        device::Read_Node(back, false);
        EXPECT_TRUE(back.ReadOK);
        EXPECT_EQ(back.Status, core::TedsStatusReadOk);
        EXPECT_EQ(back.DraftLayout, draft);
        EXPECT_EQ(tedsBytes(back), tedsBytes(tb));
    }
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(chain.lines().back(), "MLAN OFF");
}

TEST_P(ThroughAmplifier, ProtectedPageFailsAndErasedNodeReadsVirgin)
{
    core::TedsBuf tb = blank(*node);
    device::Read_Node(tb, false);
    EXPECT_EQ(tb.Status, core::TedsStatusVirgin);

    node->setProtection(2, SimDs2431::Protection::WriteProtected);
    tb = image(*node, false);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    const std::string text = "Data memory in page 2 of DS2431, is write protected !";
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{text, text}));

    node->setProtection(2, SimDs2431::Protection::Open);
    box.clear();
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(device::Erase_Node(tb));
    EXPECT_TRUE(std::all_of(node->memory().begin(), node->memory().begin() + 128, [](auto v) { return v == 0xFF; }));
}

TEST_P(ThroughAmplifier, CopyThatNeverCompletesIsNoSuccess)
{
    node->faults().copyNeverCompletes = true;
    core::TedsBuf tb = image(*node, false);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_FALSE(tb.ReadOK);
}

TEST_P(ThroughAmplifier, ScratchpadThatReadsBackDifferentOrARefusedCopyIsNoSuccess)
{
    for (bool differs : {true, false}) {
        node->faults().scratchpadDiffers = differs;
        node->faults().refuseCopy = !differs;
        core::TedsBuf tb = image(*node, false);
        bool confirmed = false;
        EXPECT_FALSE(device::Write_Node(tb, confirmed)) << differs;
        EXPECT_EQ(node->copies(), 0) << differs;
        EXPECT_EQ(node->memory()[0], 0xFF) << differs;
    }
}

TEST_P(ThroughAmplifier, AnEmptyChannelIsNeitherAVirginNodeNorAnErasedOne)
{
    channelNet().removeNode(node->rom());
    core::TedsBuf tb = blank(*node);
    tb.Status = core::TedsStatusReadOk;
    device::Read_Node(tb, false);
    EXPECT_FALSE(tb.ReadOK);
    EXPECT_EQ(tb.Status, core::TedsStatusNotRead);

    EXPECT_FALSE(device::Erase_Node(tb));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Write not succeded"});
}

TEST_P(ThroughAmplifier, NodeUnpluggedHalfwayFailsWriteAndErase)
{
    core::TedsBuf tb = image(*node, false);
    node->faults().vanishAfterSlots = 2500;  // within page 2
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_FALSE(tb.ReadOK);

    // A fresh node with the same id, written in full, then leaving during the erase.
    auto fresh = std::make_shared<SimDs2431>(node->rom());
    channelNet().addNode(fresh);
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    fresh->faults().vanishAfterSlots = 2500;
    box.clear();
    EXPECT_FALSE(device::Erase_Node(tb));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Write not succeded"});
}

INSTANTIATE_TEST_SUITE_P(Masters, ThroughAmplifier,
                         ::testing::Values(ModeRow{"MultiDrop", platform::sim::MasterMode::MultiDrop, true},
                                           ModeRow{"SingleNode", platform::sim::MasterMode::SingleNode, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
