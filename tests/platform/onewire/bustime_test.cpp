// Bus time of a full DS2433 read, pinned against the slot arithmetic.

#include "tmexjob.h"

#include "sim/onewire/simscratcheeprom.h"

using namespace tmextest;
using std::chrono::microseconds;

namespace {

class OneWireBusTime : public SimFixture {
protected:
    platform::sim::SimDs2433& node_ = add<platform::sim::SimDs2433>(0x23, 0x00000C0FFEE);

    // Selection (the access verifies the node with a directed search, then Match ROM),
    // Read Memory F0h 00h 00h, 512 data bytes.
    void fullRead()
    {
        Job job(state_);
        ASSERT_TRUE(job.select(idOf(node_)));
        job.block({0xF0, 0x00, 0x00});
        job.read(512);
    }
    // Slots of that sequence: F0h + 64 x (bit, complement, direction), 55h + 8 ROM bytes,
    // 3 command bytes, 512 data bytes.
    static constexpr long long kSlots = 8 + 64 * 3 + 8 + 64 + 3 * 8 + 512 * 8;
    static constexpr long long kResets = 2;
};

TEST_F(OneWireBusTime, FullReadAtStandardSpeed)
{
    fullRead();
    EXPECT_EQ(kSlots, 4392);
    EXPECT_EQ(net_->busTime(), microseconds(kResets * 960 + kSlots * 65));
    EXPECT_EQ(net_->busTime(), microseconds(287400));
}

TEST_F(OneWireBusTime, FullReadAtOverdriveSpeed)
{
    // Overdrive Skip ROM at standard speed puts the node into overdrive.
    {
        Job job(state_);
        ASSERT_TRUE(job.select(idOf(node_)));
        ASSERT_TRUE(job.access());
        job.end();
        const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
        ASSERT_TRUE(net_->reset());
        platform::TMTouchByte(s, 0x3C);
        platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_OVERDRIVE);
        platform::TMEndSession(s);
    }
    ASSERT_TRUE(node_.overdrive());
    net_->resetBusTime();
    fullRead();
    EXPECT_EQ(net_->busTime(), microseconds(kResets * 118 + kSlots * 10));
}

TEST_F(OneWireBusTime, PullupsCountTheirLength)
{
    Job job(state_);
    ASSERT_TRUE(job.select(idOf(node_)));
    job.sendHeld();
    net_->resetBusTime();
    job.pullup(6);
    EXPECT_EQ(net_->busTime(), std::chrono::milliseconds(6));
    net_->strongPullup(microseconds(1500));
    EXPECT_FALSE(net_->programPulse());
    EXPECT_EQ(net_->busTime(), microseconds(6000 + 1500 + 480));
}

} // namespace
