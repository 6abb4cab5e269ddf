// The node scan over each real adapter backend and its emulator while the 1-Wire line is
// shorted, freed and shorted again: the short is told once per occurrence, every pass
// ends, the nodes age out and come back.

#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"
#include "device/onewire/tmexerror.h"
#include "platform/onewire/tmex.h"
#include "sim/adapters/emulatedadapter.h"
#include "sim/onewire/simnode.h"
#include "tests/support/nodefakes.h"

namespace nodetest {
namespace {

using platform::emu::AdapterKind;

class AdapterShort : public NodesFixture, public ::testing::WithParamInterface<AdapterKind> {
protected:
    AdapterShort()
    {
        auto& ds = device::deviceState();
        ds.PortNum = 1;
        ds.PortType = GetParam() == AdapterKind::PassiveSerial ? 1 : GetParam() == AdapterKind::Ds2480b ? 5 : 6;
        net->setTranscriptLimit(0);
        for (std::uint64_t s : {0x101ULL, 0x202ULL, 0x303ULL})
            net->addNode(platform::sim::makeNode(platform::sim::RomCode::make(0x23, s)));
        adapter = platform::emu::serveEmulated(GetParam(), net, ds.PortType, 1);
        shell::setScanBus(nullptr);  // the real 1-Wire search
    }
    // The sessions close while the emulator is there.
    ~AdapterShort() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }

    void setShorted(bool on)
    {
        if (adapter.serialEmu)
            adapter.serialEmu->setShorted(on);
        else
            adapter.ds2490->setShorted(on);
    }
    int told() const
    {
        int n = 0;
        for (const auto& p : box.prompts())
            if (p.find("short circuit") != std::string::npos)
                ++n;
        return n;
    }

    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    platform::emu::EmulatedAdapter adapter;
};

TEST_P(AdapterShort, ShortIsToldOnceNodesAgeOutAndComeBack)
{
    for (int i = 0; i < 2; ++i)
        tickScan();
    ASSERT_EQ(list().size(), 3u);
    EXPECT_EQ(told(), 0);

    setShorted(true);
    for (int tick = 0; tick < 8; ++tick)
        EXPECT_LT(tickScan(), 20) << "a pass on a shorted line ends";
    EXPECT_EQ(told(), 1) << ::testing::PrintToString(box.prompts());
    EXPECT_TRUE(list().empty()) << "the nodes age out while the line is shorted";
    EXPECT_NE(device::busFault(), "");

    setShorted(false);
    tickScan();
    EXPECT_EQ(list().size(), 3u);
    EXPECT_EQ(device::busFault(), "");
    EXPECT_EQ(told(), 1);

    setShorted(true);
    for (int tick = 0; tick < 3; ++tick)
        tickScan();
    EXPECT_EQ(told(), 2) << "a short that comes back is told again";
    setShorted(false);
}

// The line is shorted between two steps of a pass and freed before the next: the pass
// ends with the short, the next pass finds every node again.
TEST_P(AdapterShort, ShortForOneStepInTheMiddleOfAPass)
{
    tickScan();
    ASSERT_EQ(list().size(), 3u);
    bool more = true;
    shell::Doscan(more);
    ASSERT_TRUE(more);
    setShorted(true);
    int steps = 0;
    for (more = true; more && steps < 20; ++steps)
        shell::Doscan(more);
    EXPECT_LT(steps, 20);
    setShorted(false);
    EXPECT_EQ(told(), 1);
    tickScan();
    tickScan();
    EXPECT_EQ(list().size(), 3u);
}

// A device job meets the short between the step that found the last node and the step
// that ends the pass (which has nothing left to search): that step proves nothing about
// the line, so the short is not forgotten and not told a second time.
TEST_P(AdapterShort, ShortMetByAJobBeforeThePassEndsIsToldOnce)
{
    tickScan();
    ASSERT_EQ(list().size(), 3u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        box.clear();
        bool more = true;
        for (int i = 0; i < 3; ++i) {
            shell::Doscan(more);
            ASSERT_TRUE(more);
        }
        setShorted(true);
        EXPECT_FALSE(device::uLAN_SelectNode_Access(list().front().id));
        device::uLAN_End();
        EXPECT_EQ(told(), 1);
        for (int steps = 0; more && steps < 10; ++steps)
            shell::Doscan(more);
        for (int t = 0; t < 3; ++t)
            tickScan();
        EXPECT_EQ(told(), 1) << ::testing::PrintToString(box.prompts());
        setShorted(false);
        for (int t = 0; t < 5; ++t)
            tickScan();
        EXPECT_EQ(device::busFault(), "");
        ASSERT_EQ(list().size(), 3u);
    }
}

// The line is shorted at any moment of a scan tick (in the middle of a search pass
// included) and stays shorted for several ticks: it is told once.
TEST_P(AdapterShort, ShortBeginningAtAnyMomentIsToldOnce)
{
    tickScan();
    ASSERT_EQ(list().size(), 3u);
    const auto from = clock.now();
    tickScan();
    const auto tick = std::chrono::duration_cast<platform::Micros>(clock.now() - from);
    for (int k = 0; k <= 40; ++k) {
        SCOPED_TRACE("short at " + std::to_string(k) + "/40 of a tick");
        box.clear();
        const auto when = clock.now() + tick * k / 40;
        auto fired = std::make_shared<bool>(false);
        const int id = clock.addObserver([this, when, fired](platform::TimePoint now) {
            if (!*fired && now >= when) {
                *fired = true;
                setShorted(true);
            }
        });
        for (int t = 0; t < 4; ++t)
            tickScan();
        clock.removeObserver(id);
        EXPECT_EQ(told(), 1) << ::testing::PrintToString(box.prompts());
        setShorted(false);
        for (int t = 0; t < 2; ++t)
            tickScan();
        EXPECT_EQ(device::busFault(), "");
        EXPECT_EQ(list().size(), 3u);
    }
}

INSTANTIATE_TEST_SUITE_P(Adapters, AdapterShort,
                         ::testing::Values(AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490),
                         [](const auto& info) { return platform::emu::adapterKeyword(info.param); });

} // namespace
} // namespace nodetest
