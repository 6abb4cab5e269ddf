// Searches over every backend among hundreds of nodes whose ROMs share long prefixes, with
// nodes unplugged and plugged back between the steps of a pass: every node there for the
// whole pass is found once, a node away for the whole pass is not, nothing else is.

#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

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
class ManyNodeSearch : public ::testing::Test {
protected:
    ManyNodeSearch()
    {
        platform::resetTmex();
        adapter = platform::emu::serveEmulated(T::value, net, kType, kPort);
    }
    ~ManyNodeSearch() override { platform::resetTmex(); }
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }

    // One pass; between two steps, between(step) may change the network.
    std::vector<RomCode> pass(const std::function<void(int)>& between = nullptr)
    {
        std::vector<RomCode> found;
        for (int step = 0; step < 2000; ++step) {
            if (between)
                between(step);
            const auto s = platform::TMExtendedStartSession(kPort, kType, 0);
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
TYPED_TEST_SUITE(ManyNodeSearch, Backends, BackendName);

TYPED_TEST(ManyNodeSearch, NodesSharingLongPrefixesAreEachFoundOnce)
{
    std::set<RomCode> roms;
    const std::uint64_t base = 0x00005A5AC3C3ull;
    for (std::uint64_t i = 0; i < 160; ++i) {
        auto r = RomCode::make(0x2D, base | (i << 40));
        roms.insert(r);
        this->net->addNode(makeNode(r));
    }
    for (std::uint64_t i = 0; i < 40; ++i) {
        auto r = RomCode::make(0x2D, base ^ (1ull << i));
        roms.insert(r);
        this->net->addNode(makeNode(r));
    }
    auto found = this->pass();
    EXPECT_EQ(found.size(), roms.size());
    EXPECT_EQ(std::set<RomCode>(found.begin(), found.end()), roms);
    EXPECT_EQ(this->pass(), found);
}

TYPED_TEST(ManyNodeSearch, NodesLeavingAndComingBackBetweenTheStepsOfAPass)
{
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        this->net->clearNodes();
        std::vector<RomCode> all;
        for (std::uint64_t i = 0; i < 60; ++i) {
            auto r = RomCode::make(i % 3 ? 0x23 : 0x01, 0xC0DE0000ull | (std::uint64_t(rng() % 4096) << 36) | i);
            all.push_back(r);
            this->net->addNode(makeNode(r));
        }
        std::map<RomCode, std::shared_ptr<SimNode>> away;
        std::set<RomCode> touched;  // away at some time during the pass
        auto found = this->pass([&](int step) {
            if (step == 0)
                return;
            for (int k = 0; k < 2; ++k) {
                const RomCode r = all[rng() % all.size()];
                touched.insert(r);
                if (away.count(r)) {
                    this->net->addNode(away[r]);
                    away.erase(r);
                } else {
                    away[r] = this->net->removeNode(r);
                }
            }
        });
        std::set<RomCode> got;
        for (auto& r : found) {
            EXPECT_TRUE(got.insert(r).second) << "found twice: " << r.nodeId();
            EXPECT_NE(std::find(all.begin(), all.end(), r), all.end()) << "not a node: " << r.nodeId();
        }
        for (auto& r : all) {
            if (!touched.count(r)) {
                EXPECT_TRUE(got.count(r)) << "missed: " << r.nodeId();
            }
        }
        for (auto& [r, n] : away)
            this->net->addNode(n);
        // A pass after it all finds every node.
        auto again = this->pass();
        EXPECT_EQ(std::set<RomCode>(again.begin(), again.end()), std::set<RomCode>(all.begin(), all.end()));
    }
}

} // namespace
