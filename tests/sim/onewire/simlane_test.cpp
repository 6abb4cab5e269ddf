// Nodes that wait for a ROM command share one lane of the bus: these are the moments its
// view of a node could go stale (a node selected, unplugged, given a knob, removed, put on
// another network, sent to overdrive) on networks large enough to use it.

#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace platform::sim;

namespace {

int romBit(const RomCode& r, int i) { return (r.bytes[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 0x01; }

// The usual search, one node per call, at bus level.
class Searcher {
public:
    explicit Searcher(SimNetwork& net) : net_(net) {}

    // The next node of the pass; nullopt when the pass is over.
    std::optional<RomCode> next()
    {
        if (done_ || !start())
            return std::nullopt;
        int lastZero = -1;
        RomCode rom;
        for (int i = 0; i < 64; ++i) {
            const auto t = triplet(i, lastZero);
            if (!t) {
                done_ = true;
                return std::nullopt;
            }
            if (*t)
                rom.bytes[static_cast<std::size_t>(i / 8)] |= static_cast<std::uint8_t>(1 << (i % 8));
        }
        lastDiscrepancy_ = lastZero;
        done_ = lastZero < 0;
        return rom;
    }
    // Reset and Search ROM; false without presence.
    bool start()
    {
        if (!net_.reset())
            return false;
        net_.touchByte(0xF0);
        return true;
    }
    // One bit of the search: the direction taken, nullopt when no node answered.
    std::optional<int> triplet(int i, int& lastZero)
    {
        const int b = net_.touchBit(1);
        const int c = net_.touchBit(1);
        if (b && c)
            return std::nullopt;
        int dir = b;
        if (!b && !c) {
            dir = i < lastDiscrepancy_ ? path_[static_cast<std::size_t>(i)] : i == lastDiscrepancy_ ? 1 : 0;
            if (dir == 0)
                lastZero = i;
        }
        net_.touchBit(dir);
        path_[static_cast<std::size_t>(i)] = dir;
        return dir;
    }
    std::vector<RomCode> all()
    {
        std::vector<RomCode> out;
        while (auto r = next())
            out.push_back(*r);
        return out;
    }

private:
    SimNetwork& net_;
    int lastDiscrepancy_ = -1;
    bool done_ = false;
    std::array<int, 64> path_{};
};

// Search order: the ROM bits from the first one sent.
bool searchOrder(const RomCode& a, const RomCode& b)
{
    for (int i = 0; i < 64; ++i)
        if (romBit(a, i) != romBit(b, i))
            return romBit(a, i) < romBit(b, i);
    return false;
}

class SimLane : public ::testing::Test {
protected:
    SimLane() : scoped_(clock_) {}

    // n ROM-only nodes with scattered serials.
    std::vector<RomCode> plugRomNodes(int n, std::uint8_t family = 0x01)
    {
        std::mt19937_64 rng(12345 + n + family);
        std::vector<RomCode> roms;
        while (static_cast<int>(roms.size()) < n) {
            const RomCode r = RomCode::make(family, rng() & 0xFFFFFFFFFFFFULL);
            if (net_.findNode(r))
                continue;
            net_.addNode(std::make_shared<SimRomOnlyNode>(r));
            roms.push_back(r);
        }
        return roms;
    }
    std::uint8_t readMemoryByte(const RomCode& rom)
    {
        net_.reset();
        net_.touchByte(0x55);
        for (auto v : rom.bytes)
            net_.touchByte(v);
        net_.touchByte(0xF0);
        net_.touchByte(0x00);
        net_.touchByte(0x00);
        return net_.touchByte(0xFF);
    }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    SimNetwork net_;
};

TEST_F(SimLane, AManyNodeSearchFindsEveryNodeOnceInSearchOrderAndItsLastNodeAnswers)
{
    auto roms = plugRomNodes(300);
    auto memory = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x5A5A));
    memory->memory()[0] = 0x42;
    net_.addNode(memory);
    roms.push_back(memory->rom());
    std::sort(roms.begin(), roms.end(), searchOrder);

    Searcher s(net_);
    std::vector<RomCode> found;
    while (auto r = s.next()) {
        found.push_back(*r);
        if (*r == memory->rom()) {
            // The search ended on the memory: it takes its function command at once.
            net_.touchByte(0xF0);
            net_.touchByte(0x00);
            net_.touchByte(0x00);
            EXPECT_EQ(net_.touchByte(0xFF), 0x42);
        }
    }
    EXPECT_EQ(found, roms);
    // Match ROM picks the one node out of all of them, pass after pass.
    EXPECT_EQ(readMemoryByte(memory->rom()), 0x42);
    EXPECT_EQ(Searcher(net_).all(), roms);
}

TEST_F(SimLane, ReadRomAndSkipRomReachEveryWaitingNode)
{
    const auto roms = plugRomNodes(40);
    ASSERT_TRUE(net_.reset());
    net_.touchByte(0x33);
    for (std::size_t i = 0; i < 8; ++i) {
        std::uint8_t all = 0xFF;
        for (const auto& r : roms)
            all &= r.bytes[i];
        EXPECT_EQ(net_.touchByte(0xFF), all) << i;
    }

    auto a = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x11));
    auto b = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x22));
    a->memory()[0] = 0x0F;
    b->memory()[0] = 0x3C;
    net_.addNode(a);
    net_.addNode(b);
    net_.reset();
    net_.touchByte(0xCC);
    net_.touchByte(0xF0);
    net_.touchByte(0x00);
    net_.touchByte(0x00);
    EXPECT_EQ(net_.touchByte(0xFF), 0x0F & 0x3C);
    EXPECT_EQ(Searcher(net_).all().size(), roms.size() + 2);
}

// Two nodes that differ only late in the search: unplugging the one the search follows
// stops it at once; plugged in again it is found from the next pass on.
TEST_F(SimLane, ANodeUnpluggedInTheMiddleOfASearchStopsAnsweringAtOnce)
{
    auto a = std::make_shared<SimRomOnlyNode>(RomCode::make(0x01, 0x100000000000ULL));
    auto b = std::make_shared<SimRomOnlyNode>(RomCode::make(0x01, 0x000000000000ULL));
    plugRomNodes(20, 0x03);  // the search follows family 01h past bit 1
    net_.addNode(a);
    net_.addNode(b);
    Searcher s(net_);
    ASSERT_TRUE(s.start());
    int lastZero = -1;
    for (int i = 0; i < 8; ++i)  // the family byte 01h: a and b alike
        ASSERT_EQ(s.triplet(i, lastZero), romBit(a->rom(), i));
    a->setConnected(false);
    b->setConnected(false);
    EXPECT_EQ(s.triplet(8, lastZero), std::nullopt);  // nobody answers any more
    EXPECT_EQ(net_.touchBit(1), 1);

    a->setConnected(true);
    b->setConnected(true);
    const auto found = Searcher(net_).all();
    EXPECT_EQ(found.size(), 22u);
    EXPECT_NE(std::find(found.begin(), found.end(), a->rom()), found.end());
    EXPECT_NE(std::find(found.begin(), found.end(), b->rom()), found.end());
}

TEST_F(SimLane, AVanishKnobSetInTheMiddleOfASearchCountsFromThen)
{
    plugRomNodes(10, 0x02);
    auto n = std::make_shared<SimRomOnlyNode>(RomCode::make(0x01, 0x77));
    net_.addNode(n);
    Searcher s(net_);
    ASSERT_TRUE(s.start());
    int lastZero = -1;
    // Bit 0: the family codes 01h and 02h differ; the search takes n's 1.
    EXPECT_EQ(net_.touchBit(1), 0);
    EXPECT_EQ(net_.touchBit(1), 0);
    net_.touchBit(1);
    n->faults().vanishAfterSlots = 10;
    for (int i = 1; i < 4; ++i)  // bits 1 .. 3 of 01h (9 slots), then bit 4's first slot
        EXPECT_EQ(s.triplet(i, lastZero), 0) << i;
    EXPECT_EQ(net_.touchBit(1), 0);  // n's bit 4 (0), then it is gone
    EXPECT_FALSE(n->connected());
    EXPECT_EQ(net_.touchBit(1), 1);
    EXPECT_EQ(Searcher(net_).all().size(), 10u);
}

TEST_F(SimLane, ARemovedNodeLeavesTheSearchAndComesBackWhenPluggedInAgain)
{
    const auto roms = plugRomNodes(50);
    const RomCode gone = roms[7];
    Searcher s(net_);
    ASSERT_TRUE(s.start());
    int lastZero = -1;
    for (int i = 0; i < 8; ++i)
        s.triplet(i, lastZero);
    auto node = net_.removeNode(gone);
    ASSERT_TRUE(node);
    EXPECT_EQ(net_.findNode(gone), nullptr);
    auto found = Searcher(net_).all();
    EXPECT_EQ(found.size(), 49u);
    EXPECT_EQ(std::find(found.begin(), found.end(), gone), found.end());

    net_.addNode(node);
    found = Searcher(net_).all();
    EXPECT_EQ(found.size(), 50u);
    EXPECT_NE(std::find(found.begin(), found.end(), gone), found.end());
}

TEST_F(SimLane, ANodePluggedIntoAnotherNetworkLeavesTheFirst)
{
    plugRomNodes(5);
    auto n = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x99));
    n->memory()[0] = 0x24;
    net_.addNode(n);
    ASSERT_EQ(Searcher(net_).all().size(), 6u);
    SimNetwork other;
    other.addNode(n);
    EXPECT_EQ(net_.findNode(n->rom()), nullptr);
    EXPECT_EQ(net_.nodes().size(), 5u);
    EXPECT_EQ(Searcher(net_).all().size(), 5u);
    ASSERT_EQ(Searcher(other).all(), std::vector<RomCode>{n->rom()});
    other.reset();
    other.touchByte(0x55);
    for (auto v : n->rom().bytes)
        other.touchByte(v);
    other.touchByte(0xF0);
    other.touchByte(0x00);
    other.touchByte(0x00);
    EXPECT_EQ(other.touchByte(0xFF), 0x24);
}

// Overdrive Skip sends the nodes that have overdrive to it; a reset at overdrive speed
// reaches only them, one at standard speed every node again.
TEST_F(SimLane, OverdriveSkipLeavesTheOtherNodesWaiting)
{
    const auto roms = plugRomNodes(12);
    auto a = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x01));
    auto b = std::make_shared<SimDs2431>(RomCode::make(0x2D, 0x02));
    net_.addNode(a);
    net_.addNode(b);
    ASSERT_TRUE(net_.reset());
    net_.touchByte(0x3C);
    EXPECT_TRUE(a->overdrive());
    EXPECT_TRUE(b->overdrive());
    net_.setSpeed(Speed::Overdrive);
    ASSERT_TRUE(net_.reset());
    net_.touchByte(0x33);
    EXPECT_EQ(net_.touchByte(0xFF), a->rom().bytes[0] & b->rom().bytes[0]);
    EXPECT_EQ(Searcher(net_).all().size(), 2u);

    net_.setSpeed(Speed::Standard);
    ASSERT_TRUE(net_.reset());
    EXPECT_FALSE(a->overdrive());
    EXPECT_EQ(Searcher(net_).all().size(), roms.size() + 2);
}

} // namespace
