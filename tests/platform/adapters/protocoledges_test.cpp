// Protocol edge cases of the three real adapter backends, each against its emulator,
// through the TMEX-like calls: searches on odd buses, nodes that come and go in the
// middle of an exchange, a shorted line, an adapter that stops answering, strong
// pull-ups of every length and programming pulses with and without 12 V. Every test
// also fails on any protocol error the emulator saw (a byte sent faster than the
// DS2480B can take it included).

#include "platform/base/clock.h"
#include "platform/base/onewirecrc.h"
#include "platform/onewire/tmex.h"
#include "sim/adapters/emulatedadapter.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using platform::emu::AdapterKind;
using platform::sim::BusEvent;
using platform::sim::RomCode;

constexpr std::int16_t kPort = 1;

int portTypeOf(AdapterKind k)
{
    switch (k) {
    case AdapterKind::PassiveSerial: return 1;
    case AdapterKind::Ds2480b: return 5;
    default: return 6;
    }
}

class Edges : public ::testing::TestWithParam<AdapterKind> {
protected:
    Edges() : scoped_(clock_)
    {
        platform::resetTmex();
        net_->setTranscriptLimit(0);
        type_ = static_cast<std::int16_t>(portTypeOf(GetParam()));
        adapter_ = platform::emu::serveEmulated(GetParam(), net_, type_, kPort);
    }
    ~Edges() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(adapter_.protocolErrors(), std::vector<std::string>{}); }

    bool pipelines() const { return GetParam() != AdapterKind::PassiveSerial; }
    bool hasPullup() const { return GetParam() != AdapterKind::PassiveSerial; }

    platform::sim::SimNode& add(std::uint8_t family, std::uint64_t serial)
    {
        return net_->addNode(platform::sim::makeNode(RomCode::make(family, serial)));
    }
    platform::sim::SimNode& addRom(const RomCode& rom) { return net_->addNode(platform::sim::makeNode(rom)); }

    std::int32_t open()
    {
        std::int32_t s = platform::TMExtendedStartSession(kPort, type_, 0);
        if (s <= 0)
            s = platform::TMExtendedStartSession(kPort, type_, 0);
        return s;
    }

    // One search step in its own session, as the device layer runs it: 1 found (id set),
    // 0 pass over, negative the code.
    int step(std::string& id)
    {
        id.clear();
        const std::int32_t s = open();
        if (s <= 0)
            return s == 0 ? -1000 : s;
        if (!setup_)
            setup_ = platform::TMSetup(s) == 1;
        const int r = platform::TMNext(s, state_);
        if (r == 1) {
            platform::TmexRom rom{};
            platform::TMRom(s, state_, rom);
            RomCode c;
            for (int i = 0; i < 8; ++i)
                c.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rom[static_cast<std::size_t>(i)]);
            id = c.nodeId();
            EXPECT_TRUE(c.crcValid()) << "a search step reported " << id << ", whose CRC is wrong";
        }
        platform::TMEndSession(s);
        return r;
    }

    // Steps until the pass ends; the ids in the order found. Fails the test on an error.
    std::vector<std::string> pass()
    {
        std::vector<std::string> ids;
        for (int guard = 0; guard < 300; ++guard) {
            std::string id;
            const int r = step(id);
            if (r != 1) {
                EXPECT_EQ(r, 0) << "search step failed: " << platform::portErrorText(type_, kPort);
                break;
            }
            ids.push_back(id);
        }
        return ids;
    }

    static std::vector<std::string> sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    std::vector<std::string> present() const
    {
        std::vector<std::string> ids;
        for (const auto& n : net_->nodes())
            if (n->connected())
                ids.push_back(n->rom().nodeId());
        return sorted(ids);
    }

    // Loads the node's ROM and selects it with the search (TMAccess).
    bool select(std::int32_t s, const RomCode& rom)
    {
        platform::TmexRom r{};
        for (int i = 0; i < 8; ++i)
            r[static_cast<std::size_t>(i)] = rom.bytes[static_cast<std::size_t>(i)];
        platform::TMRom(s, state_, r);
        return platform::TMAccess(s, state_) == 1;
    }

    void setShorted(bool on)
    {
        if (adapter_.serialEmu)
            adapter_.serialEmu->setShorted(on);
        else
            adapter_.ds2490->setShorted(on);
    }
    void setSilent(bool on)
    {
        if (adapter_.serialEmu)
            adapter_.serialEmu->setSilent(on);
        else
            adapter_.ds2490->setSilent(on);
    }
    // 12 V at the adapter's programming input (the backend is told the same).
    void setProgramVoltage(bool on)
    {
        if (adapter_.ds2480b)
            adapter_.ds2480b->setProgramVoltage(on);
        if (adapter_.ds2490)
            adapter_.ds2490->setProgramVoltage(on);
    }

    std::vector<BusEvent> pullups() const
    {
        std::vector<BusEvent> out;
        for (const auto& e : net_->transcript())
            if (e.kind == BusEvent::StrongPullup)
                out.push_back(e);
        return out;
    }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    std::shared_ptr<platform::sim::SimNetwork> net_ = std::make_shared<platform::sim::SimNetwork>();
    platform::emu::EmulatedAdapter adapter_;
    platform::TmexStateBuffer state_;
    std::int16_t type_ = 5;
    bool setup_ = false;
};

// --- Searches ------------------------------------------------------------------------

TEST_P(Edges, SearchFindsEveryNodeOnBusesOfAnySize)
{
    for (int n : {0, 1, 2, 3, 17, 40}) {
        SCOPED_TRACE("nodes: " + std::to_string(n));
        net_->clearNodes();
        for (int i = 0; i < n; ++i)
            add(i % 3 == 0 ? 0x23 : i % 3 == 1 ? 0x2D : 0x10, 0x1000 + 0x9E3779B1ULL * static_cast<unsigned>(i + 1));
        for (int round = 0; round < 2; ++round) {
            const auto ids = pass();
            EXPECT_EQ(sorted(ids), present()) << "round " << round;
            EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size()) << "a node found twice";
        }
    }
}

TEST_P(Edges, SearchTellsApartNodesThatDifferOnlyInTheLastSerialBit)
{
    // ROM bit 55 (the serial number's last bit) is the deepest place two valid ROM ids
    // can first differ: the search follows one branch all the way and the other from there.
    add(0x23, 0x000000000001ULL);
    add(0x23, 0x800000000001ULL);
    add(0x23, 0x7FFFFFFFFFFFULL);
    add(0x23, 0xFFFFFFFFFFFFULL);
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(sorted(pass()), present()) << "round " << round;
}

TEST_P(Edges, SearchOfNodesWithAllZeroAndAllOneSerials)
{
    add(0x01, 0);
    add(0xFF, 0xFFFFFFFFFFFFULL);
    add(0x80, 0x000000000001ULL);
    EXPECT_EQ(sorted(pass()), present());
}

// A node leaves while the search is on its path: at any slot of any step the pass may
// miss it or still report it whole, but never reports an id that is not a node's, never
// fails, and the next pass finds exactly the nodes left.
TEST_P(Edges, NodeLeavingMidSearchNeverGivesAFalseId)
{
    for (std::uint64_t after : {3ULL, 9ULL, 40ULL, 100ULL, 150ULL, 190ULL, 199ULL, 230ULL, 300ULL, 420ULL, 620ULL}) {
        SCOPED_TRACE("vanishes after slot " + std::to_string(after));
        net_->clearNodes();
        platform::resetTmex();
        adapter_ = platform::emu::serveEmulated(GetParam(), net_, type_, kPort);
        setup_ = false;
        state_ = {};
        std::vector<std::string> all;
        for (std::uint64_t s : {0x0011ULL, 0x0013ULL, 0x8011ULL, 0x4455ULL})
            all.push_back(add(0x23, s).rom().nodeId());
        auto& leaving = *net_->nodes()[1];
        const std::string gone = leaving.rom().nodeId();
        leaving.faults().vanishAfterSlots = after;
        const auto first = pass();
        for (const auto& id : first)
            EXPECT_NE(std::find(all.begin(), all.end(), id), all.end()) << "false id " << id;
        // The search may take up a branch again after the node went (a node found twice in
        // that pass renews its lives twice), but the pass ends.
        EXPECT_LE(first.size(), 2 * all.size()) << ::testing::PrintToString(first) << " gone " << gone;
        leaving.setConnected(false);
        EXPECT_EQ(sorted(pass()), present());
        EXPECT_EQ(sorted(pass()), present());
        EXPECT_EQ(adapter_.protocolErrors(), std::vector<std::string>{});
        adapter_.clearProtocolErrors();
    }
}

TEST_P(Edges, NodeArrivingMidPassIsFoundByTheNextPass)
{
    add(0x23, 0x100);
    add(0x23, 0x300);
    std::string id;
    ASSERT_EQ(step(id), 1);
    std::vector<std::string> seen{id};
    add(0x23, 0x200);  // between the two known ones in search order or not: either way
    add(0x2D, 0x050);
    for (int guard = 0; guard < 20 && step(id) == 1; ++guard)
        seen.push_back(id);
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), seen.size()) << "a node found twice";
    const auto now = present();
    for (const auto& s : seen)
        EXPECT_NE(std::find(now.begin(), now.end(), s), now.end());
    EXPECT_EQ(sorted(pass()), present());
}

TEST_P(Edges, EmptyBusEndsThePassAtOnceEveryTime)
{
    for (int i = 0; i < 5; ++i) {
        std::string id;
        EXPECT_EQ(step(id), 0);
    }
    add(0x10, 0x77);
    EXPECT_EQ(pass(), present());
}

// Every byte value as data, the DS2480B's mode switch E3h among them, as a block, held
// writes and single bytes: the scratchpad reads back what was sent.
TEST_P(Edges, EveryByteValueGoesOutAsData)
{
    auto& node = add(0x23, 0x4240);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, node.rom()));
    for (int first = 0; first < 256; first += 32) {
        SCOPED_TRACE("bytes from " + std::to_string(first));
        std::vector<std::uint8_t> data(32);
        for (int i = 0; i < 32; ++i)
            data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((first + i) % 3 == 0 ? 0xE3 : first + i);
        std::vector<std::uint8_t> w{0x0F, 0x00, 0x00};
        w.insert(w.end(), data.begin(), data.end());
        EXPECT_EQ(platform::TMMatchAccess(s, state_), 1);
        if (first % 64 == 0) {
            EXPECT_EQ(platform::TMBlockSend(s, w.data(), static_cast<std::int16_t>(w.size())), 35);
        } else {
            for (std::uint8_t b : w)
                EXPECT_EQ(platform::TMTouchByte(s, b), b);
        }
        EXPECT_EQ(platform::TMMatchAccess(s, state_), 1);
        std::vector<std::uint8_t> r(4 + 32, 0xFF);
        r[0] = 0xAA;
        EXPECT_EQ(platform::TMBlockStream(s, r.data(), static_cast<std::int16_t>(r.size())), 36);
        EXPECT_EQ(std::vector<std::uint8_t>(r.begin() + 4, r.end()), data);
    }
    platform::TMEndSession(s);
}

// --- Nodes leaving inside a job ----------------------------------------------------

// A node that answered its selection is gone before the command goes out: an adapter that
// holds the reset and Match ROM back must report the missing presence with the exchange
// (never bytes of FFh as data); one that sends them at once reports it at the access.
TEST_P(Edges, NodeGoneBetweenHeldResetAndCommand)
{
    auto& node = add(0x23, 0x4242);
    const RomCode rom = node.rom();
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, rom));
    std::uint8_t cmd[3] = {0xF0, 0x00, 0x00};
    ASSERT_EQ(platform::TMBlockStream(s, cmd, 3), 3);
    net_->removeNode(rom);
    const int r = platform::TMMatchAccess(s, state_);
    if (r == 1) {
        EXPECT_TRUE(pipelines()) << "a presence pulse reported with no node on the bus";
        std::uint8_t data[6] = {0xF0, 0x00, 0x00, 0xFF, 0xFF, 0xFF};
        EXPECT_EQ(platform::TMBlockStream(s, data, 6), platform::TMEX_NO_PRESENCE);
    } else {
        EXPECT_EQ(r, 0);
    }
    EXPECT_EQ(platform::TMValidSession(s), 1);
    platform::TMEndSession(s);
}

TEST_P(Edges, NodeGoneAfterHeldWritesFailsTheNextExchange)
{
    auto& node = add(0x23, 0x4243);
    const RomCode rom = node.rom();
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, rom));
    net_->removeNode(rom);
    const int access = platform::TMMatchAccess(s, state_);
    if (access != 1) {
        EXPECT_FALSE(pipelines());
        EXPECT_EQ(access, 0);
        platform::TMEndSession(s);
        return;
    }
    const std::uint8_t write[4] = {0x0F, 0x00, 0x00, 0x55};
    const int sent = platform::TMBlockSend(s, write, 4);
    if (sent == 4) {
        std::uint8_t read[2] = {0xFF, 0xFF};
        EXPECT_EQ(platform::TMBlockStream(s, read, 2), platform::TMEX_NO_PRESENCE);
    } else {
        EXPECT_EQ(sent, platform::TMEX_NO_PRESENCE);
    }
    platform::TMEndSession(s);
}

TEST_P(Edges, NodeLeavingMidReadEndsInOnesNotAHang)
{
    auto& node = add(0x23, 0x5151);
    auto& eeprom = dynamic_cast<platform::sim::SimScratchEeprom&>(node);
    for (std::size_t i = 0; i < eeprom.memory().size(); ++i)
        eeprom.memory()[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, node.rom()));
    // About 100 bytes into the data (a selection held back by the adapter counts too).
    node.faults().vanishAfterSlots = 72 + 24 + 8 * 100;
    std::vector<std::uint8_t> buf(3 + 512, 0xFF);
    buf[0] = 0xF0;
    buf[1] = buf[2] = 0;
    EXPECT_EQ(platform::TMBlockStream(s, buf.data(), static_cast<std::int16_t>(buf.size())), 515);
    // The memory up to where it left, then ones: nothing else.
    std::size_t good = 0;
    while (good < 512 && buf[3 + good] == static_cast<std::uint8_t>(good * 7 + 1))
        ++good;
    EXPECT_GE(good, 80u);
    EXPECT_LE(good, 110u);
    for (std::size_t i = 3 + good + 1; i < buf.size(); ++i)
        EXPECT_EQ(buf[i], 0xFF) << i;
    EXPECT_LT(clock_.elapsed(), std::chrono::seconds(3));
    platform::TMEndSession(s);
}

// --- Shorted bus -------------------------------------------------------------------

TEST_P(Edges, ShortedBusIsAnErrorOfItsOwnAndClears)
{
    add(0x23, 0x11);
    add(0x10, 0x22);
    EXPECT_EQ(sorted(pass()), present());
    setShorted(true);
    for (int i = 0; i < 3; ++i) {
        const std::int32_t s = open();
        ASSERT_GT(s, 0) << "a short is no reason to refuse the session";
        EXPECT_EQ(platform::TMNext(s, state_), platform::TMEX_BUS_SHORT);
        EXPECT_EQ(platform::TMValidSession(s), 1);
        EXPECT_NE(platform::portErrorText(type_, kPort).find("short"), std::string::npos)
            << platform::portErrorText(type_, kPort);
        platform::TMEndSession(s);
    }
    setShorted(false);
    EXPECT_EQ(sorted(pass()), present());
}

TEST_P(Edges, ShortAppearingInsideAJobIsReportedAsAShort)
{
    auto& node = add(0x23, 0x33);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, node.rom()));
    setShorted(true);
    const int access = platform::TMAccess(s, state_);
    EXPECT_EQ(access, platform::TMEX_BUS_SHORT);
    const int match = platform::TMMatchAccess(s, state_);
    if (match == 1) {
        EXPECT_TRUE(pipelines());
        std::uint8_t data[4] = {0xF0, 0, 0, 0xFF};
        EXPECT_EQ(platform::TMBlockStream(s, data, 4), platform::TMEX_BUS_SHORT);
    } else {
        EXPECT_EQ(match, platform::TMEX_BUS_SHORT);
    }
    EXPECT_EQ(platform::TMValidSession(s), 1);
    setShorted(false);
    EXPECT_TRUE(select(s, node.rom()));
    platform::TMEndSession(s);
}

TEST_P(Edges, ShortMidPassEndsThePassWithTheShort)
{
    for (std::uint64_t s : {0x10ULL, 0x20ULL, 0x30ULL})
        add(0x23, s);
    std::string id;
    ASSERT_EQ(step(id), 1);
    setShorted(true);
    EXPECT_EQ(step(id), platform::TMEX_BUS_SHORT);
    setShorted(false);
    // The search starts afresh or goes on; either way the next full pass is whole.
    for (int guard = 0; guard < 10 && step(id) == 1; ++guard) {
    }
    EXPECT_EQ(sorted(pass()), present());
}

// --- The adapter stops answering ---------------------------------------------------

TEST_P(Edges, SilentAdapterIsAnErrorNamingTheDeviceNotAnEmptyBus)
{
    add(0x23, 0x44);
    EXPECT_EQ(pass().size(), 1u);
    setSilent(true);
    const auto before = clock_.elapsed();
    std::string id;
    const int r = step(id);
    EXPECT_LT(r, 0) << "a silent adapter read as an empty bus";
    EXPECT_NE(r, platform::TMEX_BUS_SHORT);
    const std::string why = platform::portErrorText(type_, kPort);
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(why.find("Com1") != std::string::npos || why.find("USB") != std::string::npos ||
                why.find("/dev/") != std::string::npos)
        << why;
    EXPECT_LT(clock_.elapsed() - before, std::chrono::seconds(10));
    // Later steps fail the same way, each in bounded time.
    for (int i = 0; i < 3; ++i) {
        const auto t = clock_.elapsed();
        EXPECT_NE(step(id), 0);
        EXPECT_LT(clock_.elapsed() - t, std::chrono::seconds(10));
    }
    setSilent(false);
    EXPECT_EQ(sorted(pass()), present()) << "the adapter answers again: the next session starts it afresh";
}

TEST_P(Edges, AdapterGoingSilentInsideAJobFailsItsExchanges)
{
    auto& node = add(0x23, 0x45);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, node.rom()));
    setSilent(true);
    std::vector<std::uint8_t> buf(35, 0xFF);
    buf[0] = 0xF0;
    buf[1] = buf[2] = 0;
    EXPECT_LT(platform::TMBlockStream(s, buf.data(), 35), 0);
    EXPECT_LT(platform::TMTouchByte(s, 0xFF), 0);
    EXPECT_LT(platform::TMTouchBit(s, 1), 0);
    EXPECT_LT(clock_.elapsed(), std::chrono::seconds(30));
    platform::TMEndSession(s);
    setSilent(false);
}

// The USB adapter is pulled out in the middle of a job and plugged in again: the job's
// exchanges fail naming the device, sessions fail while it is out, and it works again
// once it is back.
TEST_P(Edges, UsbAdapterUnpluggedAndPluggedInAgain)
{
    if (GetParam() != AdapterKind::Ds2490)
        GTEST_SKIP() << "a USB adapter only";
    auto& node = add(0x23, 0x46);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    ASSERT_TRUE(select(s, node.rom()));
    adapter_.ds2490->unplug();
    std::vector<std::uint8_t> buf(35, 0xFF);
    buf[0] = 0xF0;
    buf[1] = buf[2] = 0;
    EXPECT_LT(platform::TMBlockStream(s, buf.data(), 35), 0);
    EXPECT_NE(platform::portErrorText(type_, kPort).find("USB"), std::string::npos)
        << platform::portErrorText(type_, kPort);
    platform::TMEndSession(s);
    std::string id;
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(step(id), 0);
    EXPECT_LT(clock_.elapsed(), std::chrono::seconds(30));
    adapter_.ds2490->setPresent(true);
    EXPECT_EQ(sorted(pass()), present());
}

// --- Strong pull-up and programming pulse ------------------------------------------

// The pull-up after a primed byte starts within 10 us of its last slot and lasts at
// least as long as the caller held it, whatever predefined durations the adapter has.
TEST_P(Edges, PrimedPullupLastsAsLongAsAskedForEveryLength)
{
    if (!hasPullup())
        GTEST_SKIP() << "the passive adapter has no strong pull-up";
    auto& node = add(0x23, 0x66);
    for (int ms : {1, 5, 10, 16, 17, 64, 66, 100, 131, 200, 262, 300, 524, 525, 750, 1000, 1048, 1100, 4064, 5000}) {
        SCOPED_TRACE("pull-up of " + std::to_string(ms) + " ms");
        net_->clearTranscript();
        const std::int32_t s = open();
        ASSERT_GT(s, 0);
        ASSERT_TRUE(select(s, node.rom()));
        EXPECT_EQ(platform::TMSetPullupTime(s, static_cast<std::int16_t>(ms)), 1);
        EXPECT_GE(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
        EXPECT_GE(platform::TMTouchByte(s, 0xA5), 0);
        clock_.pause(std::chrono::milliseconds(ms));
        EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
        // The bus goes on working afterwards.
        std::uint8_t cmd[4] = {0xF0, 0, 0, 0xFF};
        EXPECT_EQ(platform::TMMatchAccess(s, state_), 1);
        EXPECT_EQ(platform::TMBlockStream(s, cmd, 4), 4);
        platform::TMEndSession(s);
        const auto p = pullups();
        ASSERT_EQ(p.size(), 1u);
        EXPECT_GE(p[0].duration, std::chrono::milliseconds(ms));
        EXPECT_LE(p[0].duration, std::chrono::milliseconds(ms + ms / 5 + 40));
        EXPECT_LE(p[0].idleBefore, platform::Micros(10));
    }
}

// The line is shorted while a strong pull-up is on and freed after the job: the job's next
// exchange reports the short, and once the line is free again the adapter works at its
// pace (the pull-up ended with the short, nothing of it is left over).
TEST_P(Edges, ShortDuringAPullupThenFreed)
{
    if (!hasPullup())
        GTEST_SKIP() << "the passive adapter has no strong pull-up";
    auto& node = add(0x10, 0x7706);
    for (int hint : {0, 10, 750}) {
        SCOPED_TRACE("hint " + std::to_string(hint));
        std::int32_t s = open();
        ASSERT_GT(s, 0);
        ASSERT_TRUE(select(s, node.rom()));
        platform::TMSetPullupTime(s, static_cast<std::int16_t>(hint));
        platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE);
        EXPECT_GE(platform::TMTouchByte(s, 0x44), 0);
        clock_.pause(std::chrono::milliseconds(std::max(hint, 20) - 10));
        setShorted(true);
        clock_.pause(std::chrono::milliseconds(10));
        platform::TMOneWireLevel(s, 0, 0, 0);
        const int match = platform::TMMatchAccess(s, state_);
        std::uint8_t b[10] = {0xBE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        if (match == 1)
            EXPECT_EQ(platform::TMBlockStream(s, b, 10), platform::TMEX_BUS_SHORT);
        else
            EXPECT_EQ(match, platform::TMEX_BUS_SHORT);
        platform::TMEndSession(s);
        setShorted(false);
        s = open();
        ASSERT_GT(s, 0);
        EXPECT_TRUE(select(s, node.rom()));
        platform::TMEndSession(s);
        EXPECT_EQ(sorted(pass()), present());
    }
}

// A pull-up ended at once (the caller does not wait) leaves the adapter in step.
TEST_P(Edges, PullupEndedAtOnceThenMoreTraffic)
{
    if (!hasPullup())
        GTEST_SKIP() << "the passive adapter has no strong pull-up";
    auto& node = add(0x23, 0x67);
    auto& eeprom = dynamic_cast<platform::sim::SimScratchEeprom&>(node);
    for (std::size_t i = 0; i < 8; ++i)
        eeprom.memory()[i] = static_cast<std::uint8_t>(0x30 + i);
    for (int hint : {0, 10, 500}) {
        SCOPED_TRACE("hint " + std::to_string(hint));
        const std::int32_t s = open();
        ASSERT_GT(s, 0);
        ASSERT_TRUE(select(s, node.rom()));
        if (hint > 0)
            platform::TMSetPullupTime(s, static_cast<std::int16_t>(hint));
        platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE);
        platform::TMTouchByte(s, 0xA5);
        EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
        EXPECT_EQ(platform::TMMatchAccess(s, state_), 1);
        std::uint8_t cmd[5] = {0xF0, 0, 0, 0xFF, 0xFF};
        EXPECT_EQ(platform::TMBlockStream(s, cmd, 5), 5);
        EXPECT_EQ(cmd[3], 0x30);
        EXPECT_EQ(cmd[4], 0x31);
        EXPECT_EQ(platform::TMTouchByte(s, 0xFF), 0x32);
        platform::TMEndSession(s);
    }
}

// TMProgramByte: with the 12 V supply the byte programs; without it the call fails
// (never reports a byte programmed that did not), the EPROM is unchanged.
TEST_P(Edges, ProgramPulseWithAndWithout12V)
{
    auto& node = add(0x12, 0x99);
    auto& sw = dynamic_cast<platform::sim::SimDualSwitch&>(node);
    std::fill(sw.memory().begin(), sw.memory().end(), 0xFF);
    for (bool supply : {true, false}) {
        SCOPED_TRACE(supply ? "12 V present" : "no 12 V");
        setProgramVoltage(supply);
        const std::int32_t s = open();
        ASSERT_GT(s, 0);
        ASSERT_TRUE(select(s, node.rom()));
        std::int16_t bits = 8;
        const int address = supply ? 5 : 6;
        const int r = platform::TMProgramByte(s, state_, 0x5A, static_cast<std::int16_t>(address), 0, bits, 0);
        platform::TMEndSession(s);
        if (supply && GetParam() != AdapterKind::PassiveSerial) {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(sw.memory()[5], 0x5A);
        } else {
            EXPECT_NE(r, 1);
            EXPECT_EQ(sw.memory()[static_cast<std::size_t>(address)], 0xFF);
        }
    }
}

// --- Speeds ------------------------------------------------------------------------

TEST_P(Edges, RelaxedSpeedSearchesAndReads)
{
    auto& node = add(0x23, 0x70);
    add(0x2D, 0x71);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    const int speed = platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_RELAXED);
    const int read = platform::TMOneWireCom(s, 1, 0);
    EXPECT_EQ(speed, read);
    if (GetParam() == AdapterKind::PassiveSerial)
        EXPECT_EQ(read, platform::TMEX_SPEED_NORMAL);
    else
        EXPECT_EQ(read, platform::TMEX_SPEED_RELAXED);
    EXPECT_EQ(platform::TMNext(s, state_), 1);
    ASSERT_TRUE(select(s, node.rom()));
    std::uint8_t cmd[5] = {0xF0, 0, 0, 0xFF, 0xFF};
    EXPECT_EQ(platform::TMBlockStream(s, cmd, 5), 5);
    platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_NORMAL);
    EXPECT_EQ(platform::TMOneWireCom(s, 1, 0), platform::TMEX_SPEED_NORMAL);
    platform::TMEndSession(s);
    state_ = {};
    EXPECT_EQ(sorted(pass()), present());
}

TEST_P(Edges, OverdriveAndBackLeavesTheBusUsable)
{
    add(0x23, 0x72);
    const std::int32_t s = open();
    ASSERT_GT(s, 0);
    const int r = platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_OVERDRIVE);
    EXPECT_TRUE(r == platform::TMEX_SPEED_OVERDRIVE || r == platform::TMEX_SPEED_NORMAL || r < 0) << r;
    platform::TMNext(s, state_);  // nodes at standard speed do not answer an overdrive reset
    EXPECT_GE(platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_NORMAL), 0);
    platform::TMEndSession(s);
    state_ = {};
    EXPECT_EQ(sorted(pass()), present());
}

INSTANTIATE_TEST_SUITE_P(Adapters, Edges,
                         ::testing::Values(AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490),
                         [](const auto& info) { return platform::emu::adapterKeyword(info.param); });

} // namespace
