// The passive adapter emulator: each character one piece of 1-Wire signalling, its echo
// the bus read back, at the end of its frame.

#include "platform/base/clock.h"
#include "sim/adapters/passiveadapteremu.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

namespace {

using platform::emu::PassiveAdapterEmu;
using platform::sim::BusEvent;
using platform::sim::RomCode;
using platform::sim::SimRomOnlyNode;
using std::chrono::microseconds;
using std::chrono::milliseconds;

class PassiveEmuTest : public ::testing::Test {
protected:
    PassiveEmuTest() : scoped_(clock_)
    {
        net_ = std::make_shared<platform::sim::SimNetwork>();
        emu_ = std::make_unique<PassiveAdapterEmu>(net_);
    }
    void line(int baud, int dataBits = 8)
    {
        platform::LineSettings s;
        s.baud = baud;
        s.dataBits = dataBits;
        emu_->lineSettings(s);
    }
    std::string exchange(const std::string& bytes, microseconds wait = microseconds(20000))
    {
        emu_->hostWrote(bytes, clock_.now());
        clock_.advance(wait);
        return emu_->sentBy(clock_.now());
    }
    void node() { net_->addNode(std::make_shared<SimRomOnlyNode>(RomCode::make(0x23, 0x42))); }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    std::shared_ptr<platform::sim::SimNetwork> net_;
    std::unique_ptr<PassiveAdapterEmu> emu_;
};

TEST_F(PassiveEmuTest, ResetEchoShowsPresenceNoneOrShort)
{
    line(9600);
    EXPECT_EQ(exchange("\xF0"), "\xF0");
    node();
    EXPECT_EQ(exchange("\xF0"), "\xE0");
    emu_->setShorted(true);
    EXPECT_EQ(exchange("\xF0"), std::string(1, '\0'));
    EXPECT_EQ(emu_->protocolErrors(), std::vector<std::string>{});
}

TEST_F(PassiveEmuTest, SlotsEchoTheBitReadAndEightMakeAByte)
{
    node();
    line(9600);
    exchange("\xF0");
    line(115200);
    // Read ROM (33h) as eight slots, then one slot alone: bit 0 of the family code 23h.
    const std::string cmd = "\xFF\xFF" + std::string(2, '\0') + "\xFF\xFF" + std::string(2, '\0');
    EXPECT_EQ(exchange(cmd), cmd);
    EXPECT_EQ(net_->transcript().back().kind, BusEvent::Byte);
    EXPECT_EQ(net_->transcript().back().written, 0x33);
    EXPECT_EQ(exchange("\xFF"), "\xFF");  // 23h: bit 0 is 1
    EXPECT_EQ(exchange("\xFF"), "\xFF");  // bit 1 is 1
    EXPECT_EQ(exchange("\xFF"), "\xF8");  // bit 2 is 0: the node held the line low
    EXPECT_EQ(net_->transcript().back().kind, BusEvent::Bit);
}

TEST_F(PassiveEmuTest, EchoComesAtTheEndOfEachFrame)
{
    line(115200);
    emu_->hostWrote("\xFF\xFF\xFF", clock_.now());
    clock_.advance(microseconds(87 * 2));
    EXPECT_EQ(emu_->sentBy(clock_.now()).size(), 2u);
    clock_.advance(microseconds(87));
    EXPECT_EQ(emu_->sentBy(clock_.now()).size(), 1u);
}

TEST_F(PassiveEmuTest, CharactersThatAreNoSignallingAreProtocolErrors)
{
    line(9600);
    exchange("\xE0");  // not the reset character
    line(115200);
    exchange("\x0F");  // neither slot
    line(57600);
    exchange("\xFF");  // no rate for any signalling
    line(115200, 7);
    exchange("\xFF");  // not 8N1
    EXPECT_EQ(emu_->protocolErrors().size(), 4u);
    EXPECT_TRUE(net_->transcript().empty());
}

TEST_F(PassiveEmuTest, SilentAdapterEchoesNothing)
{
    line(9600);
    emu_->setSilent(true);
    EXPECT_EQ(exchange("\xF0"), "");
    emu_->setSilent(false);
    EXPECT_EQ(exchange("\xF0"), "\xF0");
}

} // namespace
