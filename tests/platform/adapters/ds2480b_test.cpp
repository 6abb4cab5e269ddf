// The DS2480B backend against the emulated chip: what travels on the serial line.

#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::sim;

class Ds2480b : public ::testing::Test {
protected:
    Ds2480b()
    {
        platform::resetTmex();
        node = std::make_shared<SimDs2433>(RomCode::make(0x23, 0xE3E3));
        net->addNode(node);
        adapter = platform::emu::serveEmulated(platform::emu::AdapterKind::Ds2480b, net, 5, 1);
    }
    ~Ds2480b() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }

    std::int32_t select()
    {
        const auto s = platform::TMExtendedStartSession(1, 5, 0);
        platform::TmexRom r{};
        for (std::size_t i = 0; i < 8; ++i)
            r[i] = node->rom().bytes[i];
        platform::TMRom(s, state, r);
        EXPECT_EQ(platform::TMAccess(s, state), 1) << platform::portErrorText(5, 1);
        return s;
    }

    platform::VirtualClock clock;
    platform::ScopedClock scoped{clock};
    std::shared_ptr<SimNetwork> net = std::make_shared<SimNetwork>();
    std::shared_ptr<SimDs2433> node;
    platform::emu::EmulatedAdapter adapter;
    platform::TmexStateBuffer state;
};

TEST_F(Ds2480b, DataByteE3IsSentTwiceAndReachesTheBusOnce)
{
    // The ROM itself holds E3h bytes; write E3h into the scratchpad and read it back.
    const auto s = select();
    std::uint8_t w[] = {0x0F, 0x00, 0x00, 0xE3, 0xE3, 0x01};
    ASSERT_EQ(platform::TMBlockStream(s, w, 6), 6);
    ASSERT_EQ(platform::TMAccess(s, state), 1);
    std::uint8_t r[] = {0xAA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(platform::TMBlockStream(s, r, 7), 7);
    EXPECT_EQ(r[4], 0xE3);
    EXPECT_EQ(r[5], 0xE3);
    EXPECT_EQ(r[6], 0x01);
}

TEST_F(Ds2480b, AReadJobIsTheSearchThenOneWriteWithTheAccessCommandAndBlock)
{
    const auto s = platform::TMExtendedStartSession(1, 5, 0);
    platform::TmexRom r{};
    for (std::size_t i = 0; i < 8; ++i)
        r[i] = node->rom().bytes[i];
    platform::TMRom(s, state, r);
    adapter.traffic->clear();
    ASSERT_EQ(platform::TMAccess(s, state), 1);
    EXPECT_EQ(adapter.traffic->roundTrips, 1);  // the search
    std::vector<std::uint8_t> read(515, 0xFF);
    read[0] = 0xF0;
    read[1] = read[2] = 0;
    ASSERT_EQ(platform::TMBlockStream(s, read.data(), 515), 515);
    // Reset, Match ROM, the command and the data block: one write, one byte back each.
    EXPECT_EQ(adapter.traffic->roundTrips, 2);
    adapter.traffic->clear();
    ASSERT_EQ(platform::TMMatchAccess(s, state), 1);
    read.assign(515, 0xFF);
    read[0] = 0xF0;
    read[1] = read[2] = 0;
    ASSERT_EQ(platform::TMBlockStream(s, read.data(), 515), 515);
    EXPECT_EQ(adapter.traffic->roundTrips, 1);
    EXPECT_EQ(adapter.traffic->bytesIn, 1 + 9 + 515);
    // Command mode, reset, data mode, and the ROM's two E3h bytes sent twice.
    EXPECT_LE(adapter.traffic->bytesOut, 1 + 9 + 515 + 3 + 2);
    EXPECT_TRUE(std::equal(node->memory().begin(), node->memory().end(), read.begin() + 3));
}

TEST_F(Ds2480b, HeldAccessToANodeThatLeftFailsTheExchangeNotTheAdapter)
{
    const auto s = select();
    net->clearNodes();
    ASSERT_EQ(platform::TMMatchAccess(s, state), 1);  // held, sent with the next exchange
    std::uint8_t b[2] = {0xF0, 0xFF};
    EXPECT_EQ(platform::TMBlockStream(s, b, 2), platform::TMEX_NO_PRESENCE);
    EXPECT_EQ(platform::TMValidSession(s), 1);
}

TEST_F(Ds2480b, ChipResetByABreakIsAnErrorThenTheNextSessionStartsItAgain)
{
    auto s = select();
    adapter.ds2480b->hostBreak(clock.now());  // a glitch: the chip waits for calibration again
    EXPECT_LT(platform::TMTouchByte(s, 0xFF), 0);
    // The held reset only calibrates the chip again: the answer stays short of what was sent.
    EXPECT_NE(platform::portErrorText(5, 1).find("answer"), std::string::npos) << platform::portErrorText(5, 1);
    EXPECT_EQ(platform::TMValidSession(s), 0);
    s = select();
    EXPECT_GT(s, 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0xF0), 0xF0);
}

TEST_F(Ds2480b, AShortPullupIsTimedByTheChipAndItsEndIsConfirmed)
{
    const auto s = select();
    platform::TMBlockStream(s, nullptr, 0);  // the held access out of the way
    net->clearTranscript();
    adapter.traffic->clear();
    // A copy's 6 ms: the chip's 16.4 ms pull-up, ended and answered by the chip itself.
    ASSERT_EQ(platform::TMSetPullupTime(s, 6), 1);
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0x55), 0x55);
    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 1, 0), 1);  // still on
    platform::clock().pause(std::chrono::milliseconds(6));
    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    EXPECT_EQ(adapter.traffic->roundTrips, 1);  // the byte and its pull-up; the end is answered alone
    const auto& tr = net->transcript();
    ASSERT_FALSE(tr.empty());
    EXPECT_EQ(tr.back().kind, BusEvent::StrongPullup);
    EXPECT_GE(tr.back().duration, std::chrono::milliseconds(6));
    EXPECT_EQ(platform::TMValidSession(s), 1);
}

TEST_F(Ds2480b, APullupTurnedOnLastsAsLongAsTheCallerWaitsBeforeEndingIt)
{
    const auto s = select();
    platform::TMBlockStream(s, nullptr, 0);  // the held access out of the way: data mode
    auto pullupFor = [&](int ms) {
        net->clearTranscript();
        ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, 0), 1);
        platform::clock().pause(std::chrono::milliseconds(ms));
        ASSERT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
        const auto& tr = net->transcript();
        ASSERT_EQ(tr.size(), 1u);
        EXPECT_EQ(tr.back().kind, BusEvent::StrongPullup);
        EXPECT_EQ(tr.back().duration, std::chrono::milliseconds(ms));
    };
    // From data mode (E3h goes out ahead of the pulse command).
    pullupFor(7);
    // After a pull-up the chip timed itself (its duration set back to unlimited first).
    ASSERT_EQ(platform::TMSetPullupTime(s, 6), 1);
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0x55), 0x55);
    platform::clock().pause(std::chrono::milliseconds(20));
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    pullupFor(3);
    EXPECT_EQ(platform::TMValidSession(s), 1);
}

TEST_F(Ds2480b, APullupEndTheChipDoesNotAnswerIsAnErrorNotTheLevelAskedFor)
{
    const auto s = select();
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0x44), 0x44);
    adapter.serialEmu->setSilent(true);  // F1h gets no pulse response
    EXPECT_LT(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    EXPECT_EQ(platform::TMValidSession(s), 0);
    EXPECT_NE(platform::portErrorText(5, 1).find("Com1"), std::string::npos) << platform::portErrorText(5, 1);
}

TEST_F(Ds2480b, RelaxedSpeedUsesTheFlexibleTiming)
{
    const auto s = select();
    EXPECT_EQ(platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_RELAXED), platform::TMEX_SPEED_RELAXED);
    ASSERT_EQ(platform::TMAccess(s, state), 1);
    EXPECT_EQ(net->speed(), Speed::Relaxed);
    EXPECT_EQ(platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_NORMAL), platform::TMEX_SPEED_NORMAL);
    ASSERT_EQ(platform::TMAccess(s, state), 1);
    EXPECT_EQ(net->speed(), Speed::Standard);
}

} // namespace
