// The DS2406 switch: levels, outputs, power-up state and status memory.
#include "driverfixture.h"

#include "device/drivers/dualswitch.h"
#include "sim/onewire/simdualswitch.h"

using namespace drivertest;
using platform::sim::SimDualSwitch;

namespace {

class DualSwitch : public DriverFixture {
protected:
    SimDualSwitch& node = add<SimDualSwitch>(0x12);
    std::string id = node.rom().nodeId();
};

TEST_F(DualSwitch, LevelsFollowTheOutputsAndTheInputs)
{
    struct Row {
        bool outA, outB, inA, inB;
    };
    for (const Row& r : {Row{true, true, true, true}, Row{true, false, true, true}, Row{false, true, true, true},
                         Row{true, true, false, true}}) {
        device::Set_PIO_fam12(id, r.outA, r.outB);
        node.setInputLevels(r.inA, r.inB);
        EXPECT_EQ(node.flipFlopA(), r.outA);
        EXPECT_EQ(node.flipFlopB(), r.outB);
        bool a = !node.sensedA(), b = !node.sensedB(), failed = true;
        device::Read_PIO_fam12(id, a, b, failed);
        EXPECT_FALSE(failed);
        EXPECT_EQ(a, r.outA && r.inA);
        EXPECT_EQ(b, r.outB && r.inB);
    }
}

TEST_F(DualSwitch, SetSendsTheChannelBitsAAndThenB)
{
    net->clearTranscript();
    device::Set_PIO_fam12(id, true, false);
    std::vector<int> bits;
    bool afterCommand = false;
    for (const auto& e : net->transcript()) {
        if (e.kind == platform::sim::BusEvent::Byte && e.written == 0x1C)
            afterCommand = true;
        else if (afterCommand && e.kind == platform::sim::BusEvent::Bit)
            bits.push_back(e.written);
    }
    EXPECT_EQ(bits, (std::vector<int>{1, 0}));
    EXPECT_EQ(sentBytes().back(), 0xFF);  // the channel info slot
}

TEST_F(DualSwitch, ReadFailsForOtherFamiliesAndAbsentNodesLeavingTheLevels)
{
    bool a = true, b = false, failed = false;
    net->clearTranscript();
    device::Read_PIO_fam12("5E0000000000AB10", a, b, failed);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(net->transcript().empty());
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);

    net->removeNode(node.rom());
    failed = false;
    device::Read_PIO_fam12(id, a, b, failed);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    device::Set_PIO_fam12(id, false, false);  // silently nothing
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(DualSwitch, PowerUpStateGoesToStatusByteSix)
{
    struct Row {
        bool a, b;
        int value;
    };
    for (const Row& r : {Row{true, true, 0xFF}, Row{false, true, 0xDF}, Row{true, false, 0xBF}, Row{false, false, 0x9F}}) {
        net->clearTranscript();
        device::Program_Powerup_fam12(id, r.a, r.b);
        // Write status, address 0006h, the value.
        const ByteEvent value = byteAfter({0x55, 0x06, 0x00}, 0, 3);
        ASSERT_GE(value.slot, 0);
        EXPECT_EQ(value.written, r.value);
        EXPECT_EQ(events(platform::sim::BusEvent::ProgramPulse), 1);
    }
    // The byte reads 00h: only the zeros of the value are checked, so each succeeds.
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(DualSwitch, PowerUpProgrammingNeedsOnlyDS2406sAndReportsErrors)
{
    nodes.records = std::vector<int>{0x12, 0x10};
    net->clearTranscript();
    device::Program_Powerup_fam12(id, false, false);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Please remove other than family 12 on the microLAN"});
    EXPECT_TRUE(net->transcript().empty());

    nodes.records.reset();
    box.clear();
    node.status()[6] = 0xFF;  // a byte that does not take the pulse
    device::Program_Powerup_fam12(id, false, true);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Write error # 3, bits left: 1"});
}

TEST_F(DualSwitch, StatusIsShownAsEightHexBytes)
{
    node.status() = {0xFF, 0xFE, 0x0A, 0x00, 0xFF, 0x00, 0x10, 0x7F};
    const std::string text = device::Show_Status_fam12(id);
    EXPECT_EQ(text, "Status on family 12 is:\r\n FF FE 0A 00 FF 00 10 7F");
    EXPECT_EQ(box.prompts(), std::vector<std::string>{text});

    net->removeNode(node.rom());
    box.clear();
    EXPECT_EQ(device::Show_Status_fam12(id), "Status on family 12 is:\r\n");
}

} // namespace
