// The DS2480B emulator against its datasheet, driven as a host's UART drives the chip:
// characters written at a time, answers looked for later. The codes are the datasheet's.

#include "sim/adapters/ds2480bemu.h"
#include "platform/base/clock.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

namespace {

using platform::emu::Ds2480bEmu;
using platform::sim::BusEvent;
using platform::sim::RomCode;
using platform::sim::SimRomOnlyNode;
using std::chrono::microseconds;
using std::chrono::milliseconds;

class Ds2480bEmuTest : public ::testing::Test {
protected:
    Ds2480bEmuTest() : scoped_(clock_)
    {
        net_ = std::make_shared<platform::sim::SimNetwork>();
        emu_ = std::make_unique<Ds2480bEmu>(net_);
        line(9600);
    }

    RomCode node(std::uint64_t serial)
    {
        auto n = std::make_shared<SimRomOnlyNode>(RomCode::make(0x23, serial));
        net_->addNode(n);
        return n->rom();
    }
    void line(int baud)
    {
        platform::LineSettings s;
        s.baud = baud;
        emu_->lineSettings(s);
    }
    void write(const std::string& bytes) { emu_->hostWrote(bytes, clock_.now()); }
    // What has come back after waiting d.
    std::string after(microseconds d)
    {
        clock_.advance(d);
        return emu_->sentBy(clock_.now());
    }
    std::string settle() { return after(milliseconds(50)); }
    // Power-up: the calibration reset, answered by nothing.
    void calibrate()
    {
        write("\xC1");
        EXPECT_EQ(settle(), "");
    }
    static std::string s(std::initializer_list<int> bytes)
    {
        std::string out;
        for (int b : bytes)
            out += static_cast<char>(b);
        return out;
    }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    std::shared_ptr<platform::sim::SimNetwork> net_;
    std::unique_ptr<Ds2480bEmu> emu_;
};

TEST_F(Ds2480bEmuTest, FirstResetCalibratesAndLaterResetsAnswerWithTheirResult)
{
    calibrate();
    EXPECT_TRUE(net_->transcript().empty());  // the calibration byte makes no 1-Wire activity
    // No node: result 11; bits 7-6 set, bits 4-2 the revision, bit 5 undefined.
    write("\xC1");
    const std::string none = settle();
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(static_cast<std::uint8_t>(none[0]) & 0xDF, 0xCF);
    node(1);
    write("\xC1");
    const std::string presence = settle();
    ASSERT_EQ(presence.size(), 1u);
    EXPECT_EQ(static_cast<std::uint8_t>(presence[0]) & 0xDF, 0xCD);
    // Bit 5 is not to be relied on ("CD or ED").
    EXPECT_NE(static_cast<std::uint8_t>(none[0]) & 0x20, static_cast<std::uint8_t>(presence[0]) & 0x20);
    emu_->setShorted(true);
    write("\xC1");
    EXPECT_EQ(static_cast<std::uint8_t>(settle()[0]) & 0xDF, 0xCC);  // 00: 1-Wire shorted
    EXPECT_EQ(emu_->protocolErrors(), std::vector<std::string>{});
}

TEST_F(Ds2480bEmuTest, AnswersComeAtLineTime)
{
    calibrate();
    node(2);
    // C1 is in after 1042 us, the reset takes 960 us, the answer 1042 us more.
    write("\xC1");
    EXPECT_EQ(after(microseconds(3000)), "");
    EXPECT_EQ(after(microseconds(50)).size(), 1u);
    // Data mode: the answer to the first byte comes while the host still sends the rest.
    write(s({0xE1, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(after(microseconds(2 * 1042 + 520 + 1042 + 10)).size(), 1u);
    EXPECT_EQ(settle().size(), 3u);
}

TEST_F(Ds2480bEmuTest, AByteSentIntoTheFullReceiveBufferIsLost)
{
    calibrate();
    // RBR 115.2 kbps (parameter 111, value 011): the answer comes at the new rate.
    write("\x77");
    clock_.advance(milliseconds(1));
    line(115200);
    EXPECT_EQ(settle(), "\x76");
    // Data bytes take 520 us on the bus and 87 us on the line: the third arrives while the
    // second still waits in the buffer.
    write(s({0xE1, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(settle().size(), 2u);
    EXPECT_EQ(emu_->lostBytes(), 1);
    EXPECT_EQ(emu_->protocolErrors().size(), 1u);
}

TEST_F(Ds2480bEmuTest, ConfigurationIsReadBackAndForbiddenCodesAreErrors)
{
    calibrate();
    write("\x17");  // PDSRC (001) value 011
    EXPECT_EQ(settle(), "\x16");
    write("\x03");  // read parameter 001
    EXPECT_EQ(settle(), "\x06");
    write("\x3D");  // SPUD (011) value 110: must not be used
    settle();
    EXPECT_EQ(emu_->protocolErrors().size(), 1u);
    write("\x01");  // read parameter 000: there is none
    settle();
    EXPECT_EQ(emu_->protocolErrors().size(), 2u);
    write("\x07");  // read SPUD: still the power-on 100
    EXPECT_EQ(settle(), "\x08");
}

TEST_F(Ds2480bEmuTest, SearchAcceleratorTakesTheHostsDirectionAtDiscrepancies)
{
    calibrate();
    const RomCode a = node(0x000000000000);
    const RomCode b = node(0x000000000002);  // first differs at ROM bit 9
    // Reset, data mode, Search ROM, command mode, accelerator on, data mode, 16 bytes.
    write(s({0xC1, 0xE1, 0xF0, 0xE3, 0xB1, 0xE1}));
    settle();
    // Directions: 0 everywhere but bit 9.
    std::string dirs(16, '\0');
    dirs[2] = static_cast<char>(0x08);  // ROM bit 9 is bit pair 1 of byte 2: r in bit 3
    write(dirs);
    const std::string r = settle();
    ASSERT_EQ(r.size(), 16u);
    std::array<std::uint8_t, 8> rom{};
    int discrepancies = 0;
    for (int bit = 0; bit < 64; ++bit) {
        const auto byte = static_cast<std::uint8_t>(r[static_cast<std::size_t>(bit / 4)]);
        if ((byte >> (2 * (bit % 4) + 1)) & 1)
            rom[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(1 << (bit % 8));
        discrepancies += (byte >> (2 * (bit % 4))) & 1;
    }
    EXPECT_EQ(rom, b.bytes);
    EXPECT_GE(discrepancies, 1);
    (void)a;
}

TEST_F(Ds2480bEmuTest, SingleBitPullupOfInfiniteDurationLastsUntilF1)
{
    calibrate();
    node(3);
    write("\x3F");  // SPUD infinite
    EXPECT_EQ(settle(), "\x3E");
    net_->clearTranscript();
    write("\x93");  // single bit, write 1, strong pull-up after it
    EXPECT_EQ(after(milliseconds(10)), "\x93");
    write("\xF1");
    EXPECT_EQ(settle(), "\xEC");  // F1 has no answer; the pulse response follows the end
    const auto& t = net_->transcript();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].kind, BusEvent::StrongPullup);
    EXPECT_EQ(t[1].idleBefore, microseconds(0));
    // From the end of the slot to F1's stop bit: 10 ms + 1042 us - (1042 + 65) us.
    EXPECT_EQ(t[1].duration, milliseconds(10) - microseconds(65));
}

TEST_F(Ds2480bEmuTest, CommandsOutsideTheirModeAreErrors)
{
    calibrate();
    write("\xF1");  // no pulse runs
    write(std::string(1, '\0'));  // bit 0 of a command is always 1
    write("\xE3");  // command mode already
    settle();
    EXPECT_EQ(emu_->protocolErrors().size(), 3u);
    // In data mode E3 E3 is the data byte E3.
    write(s({0xE1, 0xE3, 0xE3}));
    EXPECT_EQ(settle().size(), 1u);
    EXPECT_EQ(net_->transcript().back().written, 0xE3);
    EXPECT_TRUE(emu_->dataMode());
}

TEST_F(Ds2480bEmuTest, WrongRateIsGarbageAndABreakMeansCalibratingAgain)
{
    calibrate();
    line(19200);
    write("\xC1");
    EXPECT_EQ(settle(), "");
    EXPECT_EQ(emu_->lostBytes(), 1);
    line(9600);
    write(s({0xE1}));
    settle();
    EXPECT_TRUE(emu_->dataMode());
    emu_->hostBreak(clock_.now());
    EXPECT_FALSE(emu_->dataMode());
    write("\xC1");  // calibration again: no answer
    EXPECT_EQ(settle(), "");
    write("\xC1");
    EXPECT_EQ(settle().size(), 1u);
}

TEST_F(Ds2480bEmuTest, CountersTellWritesRoundTripsAndBytes)
{
    calibrate();
    write("\xC1");
    settle();
    write(s({0xE1, 0xFF}));
    write(s({0xFF}));
    settle();
    const auto& c = emu_->counters();
    EXPECT_EQ(c.hostWrites, 4);
    // The first write, and each one after an answer: not the second reset (the calibration
    // byte has no answer) nor the second data write.
    EXPECT_EQ(c.roundTrips, 2);
    EXPECT_EQ(c.bytesFromHost, 5);
    EXPECT_EQ(c.bytesToHost, 3);
}

TEST_F(Ds2480bEmuTest, SilentAdapterAnswersNothing)
{
    emu_->setSilent(true);
    write("\xC1");
    write("\xC1");
    EXPECT_EQ(settle(), "");
    EXPECT_TRUE(net_->transcript().empty());
}

} // namespace
