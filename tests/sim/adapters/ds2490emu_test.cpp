// The DS2490 emulator against its datasheet: the host side here spells out the datasheet's
// codes (Appendices 1-4) and reads the status packet as Device Feedback lays it out.

#include "sim/adapters/ds2490emu.h"
#include "platform/base/clock.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>

namespace {

using platform::emu::Ds2490Emu;
using platform::sim::RomCode;
using platform::sim::SimRomOnlyNode;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// Appendix 4: command types; Appendix 2: communication commands and embedded bits.
constexpr int kControl = 0, kComm = 1, kMode = 2;
constexpr int kSearchAccess = 0x00F4, kBlockIo = 0x0074, kByteIo = 0x0052, kReset = 0x0042, kPulse = 0x0030;
constexpr int kIm = 0x0001, kSm = 0x0008, kType = 0x0008, kRst = 0x0100, kIcp = 0x0200, kNtf = 0x0400, kF = 0x0800,
              kSpu = 0x1000, kRts = 0x4000;
// Table 16: status packet offsets and flags.
constexpr std::size_t kEnableFlags = 0, kProgDuration = 3, kStatusFlags = 8, kCommandByte1 = 9, kDataIn = 13;
constexpr std::uint8_t kSpua = 0x01, kHalt = 0x10, kIdle = 0x20, kEp0f = 0x80;

class Ds2490EmuTest : public ::testing::Test {
protected:
    Ds2490EmuTest() : scoped_(clock_)
    {
        net_ = std::make_shared<platform::sim::SimNetwork>();
        emu_ = std::make_unique<Ds2490Emu>(net_);
        std::string error;
        EXPECT_TRUE(emu_->open(error)) << error;
    }

    RomCode node(std::uint8_t family, std::uint64_t serial)
    {
        auto n = std::make_shared<SimRomOnlyNode>(RomCode::make(family, serial));
        net_->addNode(n);
        return n->rom();
    }
    bool request(int type, int value, int index = 0)
    {
        std::string error;
        return emu_->control(type, value, index, error);
    }
    void out(const Bytes& b)
    {
        std::string error;
        ASSERT_TRUE(emu_->bulkOut(b, error)) << error;
    }
    Bytes in(std::size_t n = 256)
    {
        std::string error;
        Bytes b;
        EXPECT_TRUE(emu_->bulkIn(n, b, error)) << error;
        return b;
    }
    Bytes status()
    {
        std::string error;
        Bytes p;
        EXPECT_TRUE(emu_->status(p, error)) << error;
        return p;
    }
    static Bytes results(const Bytes& packet) { return Bytes(packet.begin() + 16, packet.end()); }
    // Polls the status as a host waiting for the command to end; the result registers seen.
    Bytes waitIdle()
    {
        Bytes seen;
        for (int i = 0; i < 10000; ++i) {
            const Bytes p = status();
            const Bytes r = results(p);
            seen.insert(seen.end(), r.begin(), r.end());
            if ((p[kStatusFlags] & kIdle) != 0)
                return seen;
            clock_.advance(milliseconds(1));
        }
        ADD_FAILURE() << "the DS2490 never went idle";
        return seen;
    }
    static Bytes romBytes(const RomCode& r) { return Bytes(r.bytes.begin(), r.bytes.end()); }
    std::size_t errors() const { return emu_->protocolErrors().size(); }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    std::shared_ptr<platform::sim::SimNetwork> net_;
    std::unique_ptr<Ds2490Emu> emu_;
};

TEST_F(Ds2490EmuTest, SearchAccessWithResetReturnsEachRomAndDiscrepancyOnlyWhileMoreRemain)
{
    // Bit 1 of the serial (ROM bit 9) is the first that tells them apart.
    const RomCode a = node(0x10, 0x000000000002);
    const RomCode b = node(0x10, 0x000000000000);
    waitIdle();
    // One device asked for, from the all-zero path: 8 bytes of ROM, then 8 discrepancy
    // bytes because another device remains.
    out(Bytes(8, 0x00));
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts | kF, 0xF0 | (1 << 8)));
    waitIdle();
    const Bytes first = in();
    ASSERT_EQ(first.size(), 16u);
    const Bytes rom1(first.begin(), first.begin() + 8);
    const Bytes disc(first.begin() + 8, first.end());
    // Zero was taken at the discrepancy: the node whose bit is 0 there.
    EXPECT_EQ(rom1, romBytes(b));
    std::uint64_t r = 0, d = 0;
    for (int i = 0; i < 8; ++i) {
        r |= std::uint64_t(rom1[static_cast<std::size_t>(i)]) << (8 * i);
        d |= std::uint64_t(disc[static_cast<std::size_t>(i)]) << (8 * i);
    }
    ASSERT_NE(d & ~r, 0u);
    // The next path: the highest discrepancy where 0 was taken, now 1.
    const int p = 63 - std::countl_zero(d & ~r);
    const std::uint64_t next = (r & ((1ULL << p) - 1)) | (1ULL << p);
    Bytes path;
    for (int i = 0; i < 8; ++i)
        path.push_back(static_cast<std::uint8_t>(next >> (8 * i)));
    out(path);
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts | kF, 0xF0 | (1 << 8)));
    waitIdle();
    const Bytes second = in();
    // The last device: its 8 bytes alone.
    EXPECT_EQ(second, romBytes(a));

    // Number of devices 0: all of them in one command, no discrepancy after the last.
    out(Bytes(8, 0x00));
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts, 0xF0));
    waitIdle();
    EXPECT_EQ(in().size(), 16u);
    EXPECT_EQ(emu_->protocolErrors(), std::vector<std::string>{});
}

TEST_F(Ds2490EmuTest, OneDeviceAtATimeTheDiscrepancyLeadsToEveryNode)
{
    std::set<std::vector<std::uint8_t>> expected;
    for (std::uint64_t serial : {0x000000000001ULL, 0x000000000003ULL, 0x800000000001ULL, 0x7FFFFFFFFFFFULL,
                                 0x123456789ABCULL, 0x123456789ABDULL})
        expected.insert(romBytes(node(0x23, serial)));
    waitIdle();
    std::uint64_t path = 0;
    std::vector<Bytes> found;
    for (int guard = 0; guard < 20; ++guard) {
        Bytes p;
        for (int i = 0; i < 8; ++i)
            p.push_back(static_cast<std::uint8_t>(path >> (8 * i)));
        out(p);
        ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts, 0xF0 | (1 << 8)));
        waitIdle();
        const Bytes got = in();
        ASSERT_TRUE(got.size() == 8 || got.size() == 16) << got.size();
        found.emplace_back(got.begin(), got.begin() + 8);
        if (got.size() == 8)
            break;
        std::uint64_t r = 0, d = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            r |= std::uint64_t(got[i]) << (8 * i);
            d |= std::uint64_t(got[8 + i]) << (8 * i);
        }
        const int at = 63 - std::countl_zero(d & ~r);
        path = (r & ((1ULL << at) - 1)) | (1ULL << at);
    }
    EXPECT_EQ(std::set<Bytes>(found.begin(), found.end()), expected);
    EXPECT_EQ(found.size(), expected.size());
    // Starting from a ROM id found, the search finds that device first.
    out(found[2]);
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts, 0xF0 | (1 << 8)));
    waitIdle();
    const Bytes again = in();
    EXPECT_EQ(Bytes(again.begin(), again.begin() + 8), found[2]);
}

TEST_F(Ds2490EmuTest, SearchAccessWithoutResetFindsNoNode)
{
    node(0x23, 0x1234);
    waitIdle();
    // No reset has put the node into ROM command state: nothing answers the Search ROM.
    out(Bytes(8, 0x00));
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRts, 0xF0 | (1 << 8)));
    const Bytes r = waitIdle();
    EXPECT_EQ(r, Bytes{0x80});  // EOS
    EXPECT_EQ(status()[kDataIn], 0);
    // With RST it is found.
    out(Bytes(8, 0x00));
    ASSERT_TRUE(request(kComm, kSearchAccess | kIm | kSm | kRst | kRts, 0xF0 | (1 << 8)));
    waitIdle();
    EXPECT_EQ(in().size(), 8u);
}

TEST_F(Ds2490EmuTest, ModeCommandsTakeOnlyTheCodesOfTheirTables)
{
    struct Case {
        int code, value;
        bool accepted;
    };
    const Case cases[] = {
        {0x0004, 60, false},   // pull-down slew rate: codes 0-7
        {0x0004, 7, true},
        {0x0005, 0x3C, true},  // programming pulse duration, n x 8 us
        {0x0005, 0xFF, false}, // reserved
        {0x0003, 0xFF, false}, // strong pull-up duration reserved
        {0x0002, 3, false},    // 1-Wire speed 3-F reserved
        {0x0001, 2, false},    // speed change enable: TRUE or FALSE
        {0x0000, 4, false},    // pulse enable: two bits
        {0x0006, 8, false},    // write-1 low time codes 0-7
        {0x0007, 7, true},
    };
    for (const Case& c : cases) {
        const std::size_t before = errors();
        EXPECT_TRUE(request(kMode, c.code, c.value));
        EXPECT_EQ(errors() == before, c.accepted) << "mode " << c.code << " value " << c.value;
    }
    EXPECT_EQ(status()[kProgDuration], 0x3C);
    EXPECT_EQ(emu_->registers().slewRate, 7);
    // An undefined mode command stalls.
    EXPECT_FALSE(request(kMode, 0x0008, 0));
}

TEST_F(Ds2490EmuTest, EnablePulseParameterAndStateRegisterKeepTheBitsApart)
{
    // Appendix 3: parameter bit 1 the strong pull-up; Table 16: state register bit 0 SPUE.
    ASSERT_TRUE(request(kMode, 0x0000, 0x02));
    EXPECT_EQ(status()[kEnableFlags], 0x01);
    // Parameter bit 0 the programming pulse; state register bit 1 PRGE.
    ASSERT_TRUE(request(kMode, 0x0000, 0x01));
    EXPECT_EQ(status()[kEnableFlags], 0x02);
}

TEST_F(Ds2490EmuTest, ACommandIsBusyForItsBusTime)
{
    node(0x23, 0x1);
    waitIdle();
    out(Bytes(100, 0xFF));
    ASSERT_TRUE(request(kComm, kBlockIo | kIm, 100));
    const Bytes s = status();
    EXPECT_EQ(s[kStatusFlags] & kIdle, 0);
    EXPECT_EQ(s[kCommandByte1], (kBlockIo | kIm) & 0xFF);
    // 100 bytes of 8 slots of 65 us.
    clock_.advance(microseconds(100 * 8 * 65 - 100));
    EXPECT_EQ(status()[kStatusFlags] & kIdle, 0);
    EXPECT_LT(status()[kDataIn], 100);
    clock_.advance(microseconds(100));
    const Bytes done = status();
    EXPECT_NE(done[kStatusFlags] & kIdle, 0);
    EXPECT_EQ(done[kDataIn], 100);
    EXPECT_EQ(in().size(), 100u);
}

TEST_F(Ds2490EmuTest, ReadingEp3BeforeTheDataBlocksUntilItComes)
{
    ASSERT_TRUE(request(kComm, kByteIo | kIm, 0xFF));  // read one byte: ready after 520 us
    const auto t0 = clock_.now();
    EXPECT_EQ(in(1), Bytes{0xFF});
    EXPECT_GE(clock_.now() - t0, microseconds(520));
    // Nothing running: a read times out and is a protocol error.
    std::string error;
    Bytes b;
    EXPECT_FALSE(emu_->bulkIn(1, b, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(Ds2490EmuTest, ResetReportsShortAndMissingPresenceInTheResultRegister)
{
    waitIdle();
    ASSERT_TRUE(request(kComm, kReset | kIm, 0));
    EXPECT_EQ(waitIdle(), Bytes{0x01});  // NRS: nothing on the bus
    node(0x23, 0x2);
    waitIdle();
    ASSERT_TRUE(request(kComm, kReset | kIm | kNtf, 0));
    EXPECT_EQ(waitIdle(), Bytes{0x00});  // NTF: success is reported too
    ASSERT_TRUE(request(kComm, kReset | kIm, 0));
    EXPECT_EQ(waitIdle(), Bytes{});      // no error, no NTF: nothing
    emu_->setShorted(true);
    ASSERT_TRUE(request(kComm, kReset | kIm, 0));
    EXPECT_EQ(waitIdle(), Bytes{0x02});  // SH
    ASSERT_TRUE(request(kComm, kReset | kIm | kIcp, 0));
    EXPECT_EQ(waitIdle(), Bytes{});      // ICP suppresses it
}

TEST_F(Ds2490EmuTest, AttachedNodeIsSignalledByTheDetectByte)
{
    waitIdle();
    node(0x10, 0x77);
    EXPECT_EQ(results(status()), Bytes{0xA5});
    EXPECT_EQ(results(status()), Bytes{});
}

TEST_F(Ds2490EmuTest, UndefinedRequestsStallAndBadSequencesAreProtocolErrors)
{
    EXPECT_FALSE(request(3, 0, 0));                      // no such request type
    EXPECT_FALSE(request(kControl, 0x0005, 0));          // no such control command
    EXPECT_FALSE(request(kComm, kByteIo | kIm | 0x0008, 0x55));  // BYTE I/O has no bit 3
    EXPECT_FALSE(request(kComm, 0x0006, 0));             // no such communication command
    const std::size_t stalls = errors();
    EXPECT_EQ(stalls, 4u);
    // IM = 1 before the data is in EP2.
    ASSERT_TRUE(request(kComm, kBlockIo | kIm, 4));
    EXPECT_EQ(errors(), stalls + 1);
    out(Bytes(4, 0xFF));
    waitIdle();
    // A flush needs the halted state.
    ASSERT_TRUE(request(kControl, 0x0007, 0));
    EXPECT_EQ(errors(), stalls + 2);
    ASSERT_TRUE(request(kControl, 0x0003, 0));  // halt
    EXPECT_NE(status()[kStatusFlags] & kHalt, 0);
    ASSERT_TRUE(request(kControl, 0x0007, 0));
    EXPECT_EQ(errors(), stalls + 2);
    ASSERT_TRUE(request(kControl, 0x0002, 0));  // resume
    EXPECT_EQ(status()[kStatusFlags] & kHalt, 0);
}

TEST_F(Ds2490EmuTest, IcpKeepsTheByteReadOutOfEp3)
{
    ASSERT_TRUE(request(kComm, kByteIo | kIm | kIcp, 0xFF));
    waitIdle();
    EXPECT_EQ(status()[kDataIn], 0);
    ASSERT_TRUE(request(kComm, kByteIo | kIm, 0xFF));
    waitIdle();
    EXPECT_EQ(status()[kDataIn], 1);
}

TEST_F(Ds2490EmuTest, PulsesNeedTheirEnableAndLastTheirDuration)
{
    waitIdle();
    // Strong pull-up not enabled: no pulse.
    ASSERT_TRUE(request(kComm, kPulse | kIm, 0));
    waitIdle();
    EXPECT_EQ(errors(), 1u);
    ASSERT_TRUE(request(kMode, 0x0000, 0x02));  // SPUE
    ASSERT_TRUE(request(kMode, 0x0003, 0x01));  // 16 ms
    net_->clearTranscript();
    ASSERT_TRUE(request(kComm, kPulse | kIm, 0));
    clock_.advance(milliseconds(8));
    EXPECT_NE(status()[kStatusFlags] & kSpua, 0);
    clock_.advance(milliseconds(8));
    EXPECT_EQ(status()[kStatusFlags] & kSpua, 0);
    ASSERT_EQ(net_->transcript().size(), 1u);
    EXPECT_EQ(net_->transcript()[0].duration, milliseconds(16));

    // Infinite (0): until a HALT, which leaves the chip halted.
    ASSERT_TRUE(request(kMode, 0x0003, 0x00));
    net_->clearTranscript();
    ASSERT_TRUE(request(kComm, kPulse | kIm, 0));
    clock_.advance(milliseconds(5));
    EXPECT_NE(status()[kStatusFlags] & kSpua, 0);
    ASSERT_TRUE(request(kControl, 0x0004, 0));  // halt when done
    const Bytes s = status();
    EXPECT_EQ(s[kStatusFlags] & kSpua, 0);
    EXPECT_NE(s[kStatusFlags] & kHalt, 0);
    ASSERT_EQ(net_->transcript().size(), 1u);
    EXPECT_EQ(net_->transcript()[0].duration, milliseconds(5));
    ASSERT_TRUE(request(kControl, 0x0002, 0));

    // 12 V: enabled, but without the supply the result register says VPP.
    emu_->setProgramVoltage(false);
    ASSERT_TRUE(request(kMode, 0x0000, 0x01));  // PRGE
    ASSERT_TRUE(request(kComm, kPulse | kType | kIm, 0));
    EXPECT_EQ(waitIdle(), Bytes{0x08});
    EXPECT_EQ(errors(), 1u);
}

TEST_F(Ds2490EmuTest, StrongPullupAfterAByteNeedsSpue)
{
    ASSERT_TRUE(request(kComm, kByteIo | kIm | kSpu, 0x44));
    waitIdle();
    EXPECT_EQ(errors(), 1u);
}

TEST_F(Ds2490EmuTest, FullCommandFifoSetsEp0fUntilResetDevice)
{
    waitIdle();
    // IM = 0: the commands wait in the 16-byte FIFO (3 bytes each) for START EXECUTION.
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(request(kComm, kByteIo, 0xFF));
    EXPECT_EQ(status()[kStatusFlags] & kEp0f, 0);
    ASSERT_TRUE(request(kComm, kByteIo, 0xFF));
    EXPECT_NE(status()[kStatusFlags] & kEp0f, 0);
    ASSERT_TRUE(request(kControl, 0x0001, 0));  // discarded while EP0F is set
    EXPECT_EQ(status()[kDataIn], 0);
    ASSERT_TRUE(request(kControl, 0x0000, 0));  // reset device
    EXPECT_EQ(status()[kStatusFlags] & kEp0f, 0);
}

TEST_F(Ds2490EmuTest, HeldCommandsRunOnStartExecution)
{
    waitIdle();
    ASSERT_TRUE(request(kComm, kByteIo, 0xFF));
    ASSERT_TRUE(request(kComm, kByteIo, 0xFF));
    clock_.advance(milliseconds(5));
    EXPECT_EQ(status()[kDataIn], 0);
    ASSERT_TRUE(request(kControl, 0x0001, 0));
    waitIdle();
    EXPECT_EQ(status()[kDataIn], 2);
}

TEST_F(Ds2490EmuTest, UnpluggedAdapterFailsEveryTransferAndCannotBeOpened)
{
    emu_->unplug();
    std::string error;
    EXPECT_FALSE(emu_->control(kMode, 0x0002, 0, error));
    EXPECT_FALSE(error.empty());
    Bytes p;
    EXPECT_FALSE(emu_->status(p, error));
    emu_->close();
    EXPECT_FALSE(emu_->open(error));
    emu_->setPresent(true);
    EXPECT_TRUE(emu_->open(error));
    EXPECT_EQ(status()[kStatusFlags] & kIdle, kIdle);
    EXPECT_EQ(errors(), 0u);
}

TEST_F(Ds2490EmuTest, CountersTellTransfersByKind)
{
    ASSERT_TRUE(request(kMode, 0x0002, 0));
    out({1, 2, 3});
    status();
    const auto& c = emu_->counters();
    EXPECT_EQ(c.control, 1);
    EXPECT_EQ(c.modeCommands, 1);
    EXPECT_EQ(c.bulkOut, 1);
    EXPECT_EQ(c.bulkOutBytes, 3);
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.total(), 3);
}

} // namespace
