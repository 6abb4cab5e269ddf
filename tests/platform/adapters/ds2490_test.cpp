// The DS2490 backend's requests as the datasheet wants them, seen on the USB transfers
// between the backend and the emulated bridge: the search access with RST and the answer
// read at its own length, the mode commands at start-up, the 12 V pulse enabled only
// around a pulse, no status polled while a block runs, and a pull-up whose end the
// bridge does not confirm.

#include "platform/adapters/ds2490backend.h"
#include "platform/base/clock.h"
#include "sim/adapters/ds2490emu.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace platform::sim;
namespace d = platform::ds2490;

struct Request {
    char kind;  // 'c' control, 'o' bulk out, 'i' bulk in, 's' status
    int request = 0;
    int value = 0;
    int index = 0;
    std::size_t size = 0;
};

// Forwards to the emulated bridge and records every transfer.
class Spy final : public platform::UsbTransfer {
public:
    explicit Spy(platform::emu::Ds2490Emu& emu) : emu_(emu) {}
    bool open(std::string& e) override { return emu_.open(e); }
    void close() override { emu_.close(); }
    bool isOpen() const override { return emu_.isOpen(); }
    std::string deviceName() const override { return emu_.deviceName(); }
    bool control(int r, int v, int i, std::string& e) override
    {
        log.push_back({'c', r, v, i, 0});
        if (r == d::kControlCmd && v == d::kCtlHaltExeIdle && pullupStuck)
            return true;  // the bridge ignores the halt
        return emu_.control(r, v, i, e);
    }
    bool bulkOut(const std::vector<std::uint8_t>& data, std::string& e) override
    {
        log.push_back({'o', 0, 0, 0, data.size()});
        return emu_.bulkOut(data, e);
    }
    bool bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& e) override
    {
        log.push_back({'i', 0, 0, 0, n});
        return emu_.bulkIn(n, data, e);
    }
    bool status(std::vector<std::uint8_t>& packet, std::string& e) override
    {
        log.push_back({'s'});
        return emu_.status(packet, e);
    }
    std::vector<Request> modes(int value) const
    {
        std::vector<Request> out;
        for (const auto& r : log)
            if (r.kind == 'c' && r.request == d::kModeCmd && r.value == value)
                out.push_back(r);
        return out;
    }
    long count(char kind) const
    {
        return std::count_if(log.begin(), log.end(), [kind](const Request& r) { return r.kind == kind; });
    }

    std::vector<Request> log;
    bool pullupStuck = false;

private:
    platform::emu::Ds2490Emu& emu_;
};

class Ds2490 : public ::testing::Test {
protected:
    Ds2490()
    {
        platform::resetTmex();
        emu.setProgramVoltage(true);
        auto s = std::make_unique<Spy>(emu);
        spy = s.get();
        platform::registerBackend(6, 1, std::make_shared<platform::Ds2490Backend>(std::move(s)));
    }
    ~Ds2490() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(emu.protocolErrors(), std::vector<std::string>{}); }

    std::int32_t start() { return platform::TMExtendedStartSession(1, 6, 0); }

    platform::VirtualClock clock;
    platform::ScopedClock scoped{clock};
    std::shared_ptr<SimNetwork> net = std::make_shared<SimNetwork>();
    platform::emu::Ds2490Emu emu{net};
    Spy* spy = nullptr;
    platform::TmexStateBuffer state;
};

TEST_F(Ds2490, StartUpSetsThePulsesByTheirOwnModeCommands)
{
    ASSERT_GT(start(), 0);
    // The strong pull-up enabled, the 12 V pulse not; infinite pull-up; 480 us pulses.
    ASSERT_EQ(spy->modes(d::kModPulseEnable).size(), 1u);
    EXPECT_EQ(spy->modes(d::kModPulseEnable)[0].index, d::kPulseEnablePullup);
    ASSERT_EQ(spy->modes(d::kModPullupDuration).size(), 1u);
    EXPECT_EQ(spy->modes(d::kModPullupDuration)[0].index, 0);
    ASSERT_EQ(spy->modes(d::kModProgramDuration).size(), 1u);
    EXPECT_EQ(d::kModProgramDuration, 0x0005);
    EXPECT_EQ(spy->modes(d::kModProgramDuration)[0].index, 60);
    for (const auto& r : spy->modes(d::kModPulldownSlewRate))
        EXPECT_LE(r.index, 7);
}

TEST_F(Ds2490, SearchOnAOneNodeBusResetsFirstAndTakesTheShortAnswer)
{
    const auto rom = RomCode::make(0x2D, 0x4242);
    net->addNode(makeNode(rom));
    const auto s = start();
    spy->log.clear();
    ASSERT_EQ(platform::TMNext(s, state), 1);
    platform::TmexRom got{};
    platform::TMRom(s, state, got);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(got[i], rom.bytes[i]);
    const auto search = std::find_if(spy->log.begin(), spy->log.end(), [](const Request& r) {
        return r.kind == 'c' && r.request == d::kCommCmd && (r.value & 0x00F6) == d::kCommSearchAccess;
    });
    ASSERT_NE(search, spy->log.end());
    EXPECT_NE(search->value & d::kFlagRst, 0);
    // The last node found: 8 bytes, no discrepancy bytes after them.
    const auto in = std::find_if(spy->log.begin(), spy->log.end(), [](const Request& r) { return r.kind == 'i'; });
    ASSERT_NE(in, spy->log.end());
    EXPECT_EQ(in->size, 8u);
    EXPECT_EQ(platform::TMNext(s, state), 0);  // the pass is complete
    EXPECT_EQ(platform::TMNext(s, state), 1);  // and starts again
    platform::TMEndSession(s);
}

TEST_F(Ds2490, TwelveVoltsAreEnabledOnlyAroundTheProgrammingPulse)
{
    const auto s = start();
    auto& b = *platform::backendFor(6, 1);
    ASSERT_TRUE(b.canProgram());
    spy->log.clear();
    ASSERT_TRUE(b.programPulse());
    const auto modes = spy->modes(d::kModPulseEnable);
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[0].index, d::kPulseEnablePullup | d::kPulseEnableProgram);
    EXPECT_EQ(modes[1].index, d::kPulseEnablePullup);
    platform::TMEndSession(s);
}

TEST_F(Ds2490, ABlockWaitsItsBusTimeInsteadOfPollingTheStatus)
{
    auto node = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x77));
    net->addNode(node);
    const auto s = start();
    platform::TmexRom r{};
    for (std::size_t i = 0; i < 8; ++i)
        r[i] = node->rom().bytes[i];
    platform::TMRom(s, state, r);
    ASSERT_EQ(platform::TMAccess(s, state), 1);
    spy->log.clear();
    std::vector<std::uint8_t> read(515, 0xFF);
    read[0] = 0xF0;
    read[1] = read[2] = 0;
    ASSERT_EQ(platform::TMBlockStream(s, read.data(), 515), 515);
    EXPECT_TRUE(std::equal(node->memory().begin(), node->memory().end(), read.begin() + 3));
    // Reset and Match ROM go with the block (RST); one status tells the reset's outcome.
    EXPECT_EQ(spy->count('s'), 1);
    EXPECT_EQ(spy->count('o'), spy->count('i'));
    platform::TMEndSession(s);
}

TEST_F(Ds2490, APullupTheBridgeDoesNotEndIsAnErrorNotTheLevelAskedFor)
{
    net->addNode(makeNode(RomCode::make(0x10, 0x99)));
    const auto s = start();
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, 0), 1);
    spy->pullupStuck = true;
    EXPECT_LT(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    EXPECT_EQ(platform::TMValidSession(s), 0);
    EXPECT_NE(platform::portErrorText(6, 1).find("pull-up did not end"), std::string::npos)
        << platform::portErrorText(6, 1);
}

} // namespace
