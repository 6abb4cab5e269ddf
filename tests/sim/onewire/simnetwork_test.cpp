// The bus itself, used directly as the simulated amplifier uses it.

#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

using namespace platform::sim;
using std::chrono::microseconds;

namespace {

class SimBus : public ::testing::Test {
protected:
    SimBus() : scoped_(clock_) {}
    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    SimNetwork net_;
};

TEST(SimRomCode, NodeIdTextAndCrc)
{
    const RomCode r = RomCode::make(0x10, 0x060504030201ULL);
    EXPECT_TRUE(r.crcValid());
    EXPECT_EQ(r.nodeId().substr(2), "06050403020110");
    EXPECT_EQ(RomCode::fromNodeId(r.nodeId()), r);
    EXPECT_EQ(RomCode::fromNodeId(r.nodeId().substr(1)), std::nullopt);
    EXPECT_EQ(RomCode::fromNodeId("A7060504030201XY"), std::nullopt);
    // The id of the edge case list: family 10h, serial 01..06, CRC A7h as given there.
    EXPECT_EQ(RomCode::fromNodeId("a706050403020110")->bytes[7], 0xA7);
}

TEST(SimCrc, KnownValues)
{
    // CRC8 over a ROM's first 7 bytes is its 8th byte; the whole ROM gives 0.
    const RomCode r = RomCode::make(0x2D, 0xABCDEF);
    EXPECT_EQ(crc8(r.bytes.data(), 8), 0);
    const std::vector<std::uint8_t> d{0x0F, 0x00, 0x00, 0x12};
    const std::uint16_t c = crc16(d);
    std::vector<std::uint8_t> withCrc = d;
    withCrc.push_back(static_cast<std::uint8_t>(c & 0xFF));
    withCrc.push_back(static_cast<std::uint8_t>(c >> 8));
    EXPECT_EQ(crc16(withCrc), 0);
}

TEST_F(SimBus, ResetAndSlotTimesPerSpeed)
{
    EXPECT_FALSE(net_.reset());  // nobody there
    net_.touchBit(1);
    net_.touchByte(0xCC);
    EXPECT_EQ(net_.busTime(), microseconds(960 + 9 * 65));
    net_.resetBusTime();
    net_.setSpeed(Speed::Relaxed);
    net_.reset();
    net_.touchBit(0);
    EXPECT_EQ(net_.busTime(), microseconds(960 + 65));
    net_.resetBusTime();
    net_.setSpeed(Speed::Overdrive);
    net_.reset();
    net_.touchByte(0xFF);
    EXPECT_EQ(net_.busTime(), microseconds(118 + 8 * 10));
}

TEST_F(SimBus, WiredAndOfTwoNodesReadingTheirRoms)
{
    const RomCode a = RomCode::make(0x01, 0x0F);
    const RomCode b = RomCode::make(0x01, 0xF0);
    net_.addNode(std::make_shared<SimRomOnlyNode>(a));
    net_.addNode(std::make_shared<SimRomOnlyNode>(b));
    ASSERT_TRUE(net_.reset());
    net_.touchByte(0x33);  // both answer Read ROM at once
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(net_.touchByte(0xFF), a.bytes[i] & b.bytes[i]) << i;
    // The master writing 0 wins over any node.
    ASSERT_TRUE(net_.reset());
    net_.touchByte(0x33);
    EXPECT_EQ(net_.touchByte(0x00), 0x00);
}

TEST_F(SimBus, MatchRomSelectsOneNodeSkipRomAddressesAll)
{
    auto a = makeNode(RomCode::make(0x23, 0x11));
    auto b = makeNode(RomCode::make(0x23, 0x22));
    dynamic_cast<SimDs2433&>(*a).memory()[0] = 0x0F;
    dynamic_cast<SimDs2433&>(*b).memory()[0] = 0x3C;
    net_.addNode(a);
    net_.addNode(b);
    for (const auto& [node, expected] : {std::pair{a, 0x0F}, std::pair{b, 0x3C}}) {
        net_.reset();
        net_.touchByte(0x55);
        for (auto v : node->rom().bytes)
            net_.touchByte(v);
        net_.touchByte(0xF0);
        net_.touchByte(0x00);
        net_.touchByte(0x00);
        EXPECT_EQ(net_.touchByte(0xFF), expected);
    }
    net_.reset();
    net_.touchByte(0xCC);
    net_.touchByte(0xF0);
    net_.touchByte(0x00);
    net_.touchByte(0x00);
    EXPECT_EQ(net_.touchByte(0xFF), 0x0F & 0x3C);
}

TEST_F(SimBus, TranscriptRecordsEveryEvent)
{
    net_.addNode(std::make_shared<SimRomOnlyNode>(RomCode::make(0x01, 0x11)));
    net_.reset();
    net_.touchByte(0xCC);
    net_.touchBit(1);
    net_.strongPullup(microseconds(500));
    net_.programPulse();
    net_.setSpeed(Speed::Overdrive);
    EXPECT_EQ(net_.transcriptText(),
              "reset presence\nbyte CC -> CC\nbit 1 -> 1\npullup 500 us\nprogram 480 us not taken\n"
              "speed overdrive\n");
    ASSERT_EQ(net_.transcript().size(), 6u);
    EXPECT_EQ(net_.transcript()[2].at, microseconds(960 + 8 * 65));

    net_.setTranscriptLimit(4);
    for (int i = 0; i < 20; ++i)
        net_.touchBit(1);
    EXPECT_LE(net_.transcript().size(), 5u);
    EXPECT_EQ(net_.transcript().back().kind, BusEvent::Bit);
    net_.clearTranscript();
    net_.setTranscriptEnabled(false);
    net_.touchBit(1);
    EXPECT_TRUE(net_.transcript().empty());
}

TEST_F(SimBus, FaultKnobs)
{
    auto node = std::make_shared<SimRomOnlyNode>(RomCode::make(0x01, 0x11));
    net_.addNode(node);
    net_.faults().noPresence = true;
    EXPECT_FALSE(net_.reset());
    net_.faults().noPresence = false;
    EXPECT_TRUE(net_.reset());

    net_.flipBitAfter(2);
    EXPECT_EQ(net_.touchBit(1), 1);
    EXPECT_EQ(net_.touchBit(1), 0);  // flipped once
    EXPECT_EQ(net_.touchBit(1), 1);

    node->faults().vanishAfterSlots = 3;
    net_.reset();
    net_.touchByte(0x33);  // the node leaves after 3 slots of the command
    EXPECT_FALSE(node->connected());
    EXPECT_EQ(net_.touchByte(0xFF), 0xFF);
    EXPECT_FALSE(net_.reset());

    net_.faults().failSessionStarts = 1;
    net_.faults().sessionStartCode = -200;
    EXPECT_EQ(net_.takeSessionFault(), -200);
    EXPECT_EQ(net_.takeSessionFault(), std::nullopt);
}

TEST_F(SimBus, MeasuredPullupPowersAConversion)
{
    auto t = std::make_shared<SimThermometer>(RomCode::make(0x10, 0x99));
    t->setTemperature(30.0);
    net_.addNode(t);
    net_.reset();
    net_.touchByte(0xCC);
    net_.touchByte(0x44);
    net_.setStrongPullup(true);
    clock_.advance(std::chrono::milliseconds(499));
    net_.setStrongPullup(false);
    EXPECT_TRUE(t->operationPending());
    // Idle time after the pull-up counts too: the line stays high.
    clock_.advance(std::chrono::milliseconds(1));
    net_.reset();
    EXPECT_EQ(t->conversions(), 1);
    EXPECT_EQ(t->scratchpad()[0], 60);
    EXPECT_EQ(net_.busTime(), microseconds(2 * 960 + 16 * 65 + 499000));
}

TEST_F(SimBus, NodesAddedReplacedAndRemoved)
{
    const RomCode r = RomCode::make(0x23, 0x01);
    auto first = makeNode(r);
    net_.addNode(first);
    EXPECT_EQ(first->typeName(), "DS2433");
    auto second = makeNode(r);
    net_.addNode(second);
    ASSERT_EQ(net_.nodes().size(), 1u);
    EXPECT_EQ(net_.findNode(r), second.get());
    EXPECT_EQ(net_.removeNode(r), second);
    EXPECT_EQ(net_.removeNode(r), nullptr);
    EXPECT_EQ(makeNode(RomCode::make(0x42, 1))->typeName(), "ROM only");
}

} // namespace
