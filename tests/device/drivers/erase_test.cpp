// Erasing a node's memory, and what the image may still claim about the node afterwards.
#include "driverfixture.h"

#include "device/drivers/memorynode.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;
using platform::sim::SimDualSwitch;

namespace {

class Erase : public DriverFixture {};

TEST_F(Erase, EepromsHoldFFhThroughoutAndReadAsVirgin)
{
    SimDs2431& a = add<SimDs2431>(0x2D, 1);
    SimDs2433& b = add<SimDs2433>(0x23, 2);
    for (platform::sim::SimNode* n : std::initializer_list<platform::sim::SimNode*>{&a, &b}) {
        core::TedsBuf tb = image(*n, false);
        bool confirmed = false;
        ASSERT_TRUE(device::Write_Node(tb, confirmed));
        EXPECT_TRUE(device::Erase_Node(tb)) << n->typeName();
        core::TedsBuf back = blank(*n);
        device::Read_Node(back, false);
        EXPECT_EQ(back.Status, core::TedsStatusVirgin) << n->typeName();
    }
    EXPECT_TRUE(std::all_of(a.memory().begin(), a.memory().begin() + 128, [](auto v) { return v == 0xFF; }));
    EXPECT_TRUE(std::all_of(b.memory().begin(), b.memory().end(), [](auto v) { return v == 0xFF; }));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Erase, AWriteAfterTheEraseDoesNotSkipPages)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    ASSERT_TRUE(tb.ReadOK);  // tb now knows the node's content

    ASSERT_TRUE(device::Erase_Node(tb));
    EXPECT_FALSE(tb.ReadOK);
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(tedsBytes(back), tedsBytes(tb));
}

TEST_F(Erase, NodeMustBeInTheNodeList)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    nodes.listed = {"0000000000000000"};
    core::TedsBuf tb = blank(node);
    net->clearTranscript();
    EXPECT_FALSE(device::Erase_Node(tb));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Node ID not found on the microLAN"});
    EXPECT_TRUE(net->transcript().empty());

    device::setDriverNodeList(nullptr);
    EXPECT_FALSE(device::Erase_Node(tb));
}

TEST_F(Erase, DualSwitchAndOtherFamiliesDoNotApply)
{
    SimDualSwitch& node = add<SimDualSwitch>(0x12);
    core::TedsBuf tb = blank(node);
    net->clearTranscript();
    EXPECT_FALSE(device::Erase_Node(tb));
    const std::string text = "Write not succeded - family unknown or does not applie";
    EXPECT_EQ(box.prompts(), std::vector<std::string>{text});
    EXPECT_EQ(trace.lines, std::vector<std::string>{text});
    EXPECT_TRUE(net->transcript().empty());
}

} // namespace
