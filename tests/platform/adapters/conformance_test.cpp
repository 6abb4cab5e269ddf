// One suite for every backend behind the 1-Wire calls: the simulated network's own, and
// each real adapter backend talking to its emulator. Same network, same answers.

#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::emu::AdapterKind;
using namespace platform::sim;

constexpr std::int16_t kType = 5;
constexpr std::int16_t kPort = 1;

template <AdapterKind K>
struct Kind {
    static constexpr AdapterKind value = K;
};

template <class T>
class BackendConformance : public ::testing::Test {
protected:
    BackendConformance()
    {
        platform::resetTmex();
        adapter = platform::emu::serveEmulated(T::value, net, kType, kPort);
    }
    ~BackendConformance() override { platform::resetTmex(); }
    // The emulators are strict: whatever their chip does not allow fails the backend.
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }

    template <class Node>
    Node& add(std::uint8_t family, std::uint64_t serial)
    {
        auto node = std::make_shared<Node>(RomCode::make(family, serial));
        net->addNode(node);
        return *node;
    }
    std::int32_t start() { return platform::TMExtendedStartSession(kPort, kType, 0); }
    bool select(std::int32_t s, const RomCode& rom)
    {
        platform::TmexRom r{};
        for (std::size_t i = 0; i < 8; ++i)
            r[i] = rom.bytes[i];
        platform::TMRom(s, state, r);
        return platform::TMAccess(s, state) == 1;
    }
    std::vector<RomCode> searchAll()
    {
        std::vector<RomCode> found;
        for (int guard = 0; guard < 20; ++guard) {
            const auto s = start();
            EXPECT_GT(s, 0);
            const int r = platform::TMNext(s, state);
            if (r == 1) {
                platform::TmexRom rom{};
                platform::TMRom(s, state, rom);
                RomCode c;
                for (std::size_t i = 0; i < 8; ++i)
                    c.bytes[i] = static_cast<std::uint8_t>(rom[i]);
                found.push_back(c);
            }
            platform::TMEndSession(s);
            if (r != 1)
                break;
        }
        return found;
    }
    bool isSim() const { return T::value == AdapterKind::Simulated; }

    platform::VirtualClock clock;
    platform::ScopedClock scoped{clock};
    std::shared_ptr<SimNetwork> net = std::make_shared<SimNetwork>();
    platform::emu::EmulatedAdapter adapter;
    platform::TmexStateBuffer state;
};

using Backends = ::testing::Types<Kind<AdapterKind::Simulated>, Kind<AdapterKind::PassiveSerial>,
                                  Kind<AdapterKind::Ds2480b>, Kind<AdapterKind::Ds2490>>;
struct BackendName {
    template <class T>
    static std::string GetName(int)
    {
        return platform::emu::adapterKeyword(T::value);
    }
};
TYPED_TEST_SUITE(BackendConformance, Backends, BackendName);

TYPED_TEST(BackendConformance, ResetSeesPresenceOnlyWithANode)
{
    auto& b = *this->adapter.backend;
    ASSERT_EQ(b.openSession(), 1);
    EXPECT_EQ(b.resetPulse(), platform::ResetOutcome::NoPresence);
    this->template add<SimRomOnlyNode>(0x01, 0x42);
    EXPECT_EQ(b.resetPulse(), platform::ResetOutcome::Presence);
}

TYPED_TEST(BackendConformance, SearchFindsEveryNodeInRomOrderAndEndsThePass)
{
    std::vector<RomCode> roms;
    for (std::uint64_t serial : {0x12345ULL, 0x12344ULL, 0xABCDEFULL, 0x1ULL})
        roms.push_back(this->template add<SimRomOnlyNode>(0x2D, serial).rom());
    for (std::uint64_t serial : {0x777ULL, 0x12345ULL})
        roms.push_back(this->template add<SimRomOnlyNode>(0x23, serial).rom());
    const auto found = this->searchAll();
    ASSERT_EQ(found.size(), roms.size());
    // Every node once, each with a valid CRC; a second pass finds the same order.
    for (const auto& r : roms)
        EXPECT_EQ(std::count(found.begin(), found.end(), r), 1) << r.nodeId();
    EXPECT_EQ(this->searchAll(), found);
}

TYPED_TEST(BackendConformance, AccessSelectsAPresentNodeAndRefusesAnAbsentOne)
{
    auto& eeprom = this->template add<SimDs2433>(0x23, 0x55);
    this->template add<SimRomOnlyNode>(0x01, 0x66);
    const auto s = this->start();
    ASSERT_GT(s, 0);
    EXPECT_FALSE(this->select(s, RomCode::make(0x23, 0x56)));
    EXPECT_EQ(platform::TMValidSession(s), 1);  // not there is no failure of the adapter
    ASSERT_TRUE(this->select(s, eeprom.rom()));
    // Read memory F0h from 0: the bytes come back in one block.
    EXPECT_EQ(platform::TMTouchByte(s, 0xF0), 0xF0);
    platform::TMTouchByte(s, 0x00);
    platform::TMTouchByte(s, 0x00);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(platform::TMTouchByte(s, 0xFF), eeprom.memory()[static_cast<std::size_t>(i)]);
    platform::TMEndSession(s);
}

TYPED_TEST(BackendConformance, AnAccessToANodeThatLeftFailsTheNextExchangeNotTheAdapter)
{
    auto& eeprom = this->template add<SimDs2433>(0x23, 0x55);
    const auto s = this->start();
    ASSERT_TRUE(this->select(s, eeprom.rom()));
    this->net->clearNodes();
    // An adapter that pipelines holds the access back and sends it with the block: the
    // missing presence fails that exchange; the others see it at once.
    const auto access = platform::TMMatchAccess(s, this->state);
    std::uint8_t read[4] = {0xF0, 0x00, 0x00, 0xFF};
    if (this->adapter.backend->pipelines()) {
        EXPECT_EQ(access, 1);
        EXPECT_EQ(platform::TMBlockStream(s, read, 4), platform::TMEX_NO_PRESENCE);
        // A command with the pull-up after it: the pull-up does not stay on.
        ASSERT_EQ(platform::TMMatchAccess(s, this->state), 1);
        ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
        EXPECT_EQ(platform::TMTouchByte(s, 0x44), platform::TMEX_NO_PRESENCE);
        EXPECT_FALSE(this->net->strongPullupOn());
        EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    } else {
        EXPECT_EQ(access, 0);
    }
    EXPECT_EQ(platform::TMValidSession(s), 1);
    // The adapter goes on working.
    auto& back = this->template add<SimDs2433>(0x23, 0x56);
    ASSERT_TRUE(this->select(s, back.rom()));
    EXPECT_EQ(platform::TMTouchByte(s, 0xF0), 0xF0);
    platform::TMEndSession(s);
}

TYPED_TEST(BackendConformance, BlockAndBitsGiveWhatTheBusReturns)
{
    auto& node = this->template add<SimRomOnlyNode>(0x01, 0xBEEF);
    auto& b = *this->adapter.backend;
    ASSERT_EQ(b.openSession(), 1);
    ASSERT_EQ(b.resetPulse(), platform::ResetOutcome::Presence);
    std::uint8_t block[9] = {0x33, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // Read ROM
    ASSERT_EQ(b.block(block, sizeof block), 0);
    EXPECT_TRUE(std::equal(block + 1, block + 9, node.rom().bytes.begin()));
    // Read ROM again, bit by bit: the family code's low bit first.
    ASSERT_EQ(b.resetPulse(), platform::ResetOutcome::Presence);
    ASSERT_TRUE(b.byte(0x33).ok());
    int family = 0;
    for (int k = 0; k < 8; ++k) {
        const auto r = b.bit(1);
        ASSERT_TRUE(r.ok());
        family |= r.value << k;
    }
    EXPECT_EQ(family, 0x01);
}

TYPED_TEST(BackendConformance, PrimedPullupFollowsTheConvertByteWithNoSlotBetween)
{
    using T = TypeParam;
    auto& t = this->template add<SimThermometer>(0x10, 0x80C1A);
    t.setTemperature(21.5);
    const auto s = this->start();
    ASSERT_TRUE(this->select(s, t.rom()));
    this->net->clearTranscript();
    ASSERT_EQ(platform::TMOneWireLevel(s, 0, 1, platform::TMEX_PRIME_AFTER_BYTE), 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0x44), 0x44);
    platform::clock().pause(std::chrono::milliseconds(750));
    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    // The command byte (as a byte or as eight slots), then at once the pull-up; the
    // passive adapter has none of its own: the line just idles high, no slot between.
    // An adapter that pipelines sends the selection's reset and Match ROM with it.
    const auto& tr = this->net->transcript();
    int written = 0;
    std::size_t i = 0;
    if (this->adapter.backend->pipelines()) {
        ASSERT_FALSE(tr.empty());
        EXPECT_EQ(tr[0].kind, BusEvent::Reset);
        std::size_t matchBits = 0;
        for (i = 1; i < tr.size() && matchBits < 72; ++i)
            matchBits += tr[i].kind == BusEvent::Byte ? 8 : 1;
        EXPECT_EQ(matchBits, 72u);
    }
    if (i < tr.size() && tr[i].kind == BusEvent::Byte) {
        written = tr[i].written;
        ++i;
    } else {
        for (int k = 0; k < 8 && i < tr.size() && tr[i].kind == BusEvent::Bit; ++k, ++i)
            written |= (tr[i].written & 1) << k;
    }
    EXPECT_EQ(written, 0x44);
    if (T::value == AdapterKind::PassiveSerial) {
        EXPECT_EQ(i, tr.size());
    } else {
        ASSERT_EQ(i + 1, tr.size());
        EXPECT_EQ(tr[i].kind, BusEvent::StrongPullup);
        EXPECT_GE(tr[i].duration, std::chrono::milliseconds(750));
    }
    EXPECT_EQ(platform::TMAccess(s, this->state), 1) << platform::portErrorText(kType, kPort);
    EXPECT_EQ(t.conversions(), 1);
    platform::TMEndSession(s);
}

TYPED_TEST(BackendConformance, ProgramPulseProgramsOrIsRefusedBeforeAnyTraffic)
{
    auto& sw = this->template add<SimDualSwitch>(0x12, 0x99);
    const auto s = this->start();
    ASSERT_GT(s, 0);
    platform::TmexRom r{};
    for (std::size_t i = 0; i < 8; ++i)
        r[i] = sw.rom().bytes[i];
    platform::TMRom(s, this->state, r);
    this->net->clearTranscript();
    std::int16_t bits = 8;
    const auto result = platform::TMProgramByte(s, this->state, 0x5A, 3, 0, bits, 0);
    if (this->adapter.backend->canProgram()) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(sw.memory()[3], 0x5A);
        EXPECT_EQ(bits, 0);
    } else {
        EXPECT_EQ(result, platform::TMEX_NO_SUCH_FUNCTION);
        EXPECT_TRUE(this->net->transcript().empty());
        EXPECT_NE(platform::portErrorText(kType, kPort).find("cannot program"), std::string::npos);
        EXPECT_EQ(platform::TMValidSession(s), 0);
        EXPECT_EQ(sw.memory()[3], 0xFF);
    }
}

TYPED_TEST(BackendConformance, RelaxedSpeedReachesTheBusWhereTheAdapterHasIt)
{
    this->template add<SimRomOnlyNode>(0x01, 0x1);
    const auto s = this->start();
    const auto speed = platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_RELAXED);
    platform::TMNext(s, this->state);
    if (speed == platform::TMEX_SPEED_RELAXED)
        EXPECT_EQ(this->net->speed(), Speed::Relaxed);
    else
        EXPECT_EQ(this->net->speed(), Speed::Standard);
    EXPECT_EQ(platform::TMOneWireCom(s, 1, 0), speed);
    platform::TMEndSession(s);
}

// --- Failures the real adapters have (the simulated network has none of these) -------

TYPED_TEST(BackendConformance, ShortedBusIsItsOwnErrorAndKeepsTheSession)
{
    if (this->isSim())
        GTEST_SKIP() << "the simulated network is never shorted";
    auto& node = this->template add<SimRomOnlyNode>(0x01, 0x1);
    const auto shorten = [&](bool on) {
        if (this->adapter.serialEmu)
            this->adapter.serialEmu->setShorted(on);
        else
            this->adapter.ds2490->setShorted(on);
    };
    shorten(true);
    const auto s = this->start();
    ASSERT_GT(s, 0);
    // The adapter works, the bus does not: the session stays, the port says why.
    EXPECT_EQ(platform::TMNext(s, this->state), platform::TMEX_BUS_SHORT);
    EXPECT_EQ(platform::TMValidSession(s), 1);
    const std::string why = platform::portErrorText(kType, kPort);
    EXPECT_NE(why.find("1-Wire bus short circuit on "), std::string::npos) << why;
    EXPECT_NE(why.find(this->adapter.backend->description()), std::string::npos) << why;
    // A job's access meets it as well.
    EXPECT_FALSE(this->select(s, node.rom()));
    // Once the short is gone the same session finds the node.
    shorten(false);
    EXPECT_EQ(platform::TMNext(s, this->state), 1);
    platform::TMEndSession(s);
}

TYPED_TEST(BackendConformance, AdapterThatStopsAnsweringIsAnErrorNotFFh)
{
    if (this->isSim())
        GTEST_SKIP() << "no adapter to lose";
    auto& node = this->template add<SimRomOnlyNode>(0x01, 0x1);
    const auto s = this->start();
    ASSERT_TRUE(this->select(s, node.rom()));
    if (this->adapter.serialEmu)
        this->adapter.serialEmu->setSilent(true);
    else
        this->adapter.ds2490->unplug();
    EXPECT_LT(platform::TMTouchByte(s, 0xFF), 0);
    EXPECT_EQ(platform::TMValidSession(s), 0);
    EXPECT_FALSE(platform::portErrorText(kType, kPort).empty());
    // Nothing comes back: the next session start fails and names what was tried.
    EXPECT_LT(this->start(), 0);
    const std::string why = platform::portErrorText(kType, kPort);
    if (this->adapter.serialEmu)
        EXPECT_NE(why.find("Com1"), std::string::npos) << why;
    else
        EXPECT_NE(why.find("04fa:2490"), std::string::npos) << why;
}

} // namespace
