// The ROM search as the scan runs it: one step per session.

#include "tmexjob.h"

#include <algorithm>
#include <set>

using namespace tmextest;
using platform::sim::RomCode;
using platform::sim::SimRomOnlyNode;

namespace {

class OneWireSearch : public SimFixture {
protected:
    std::vector<std::string> sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    std::vector<std::string> networkIds()
    {
        std::vector<std::string> v;
        for (const auto& n : net_->nodes())
            if (n->connected())
                v.push_back(n->rom().nodeId());
        return sorted(v);
    }
};

TEST_F(OneWireSearch, EmptyBusEndsThePassAtOnce)
{
    bool setup = false;
    const auto r = searchStep(state_, setup);
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.done);
    EXPECT_TRUE(setup);
}

TEST_F(OneWireSearch, OneNodeGivesItsIdThenDone)
{
    auto& n = add<SimRomOnlyNode>(0x10, 0x060504030201ULL);
    bool setup = false;
    const auto first = searchStep(state_, setup);
    EXPECT_TRUE(first.found);
    EXPECT_EQ(first.id, n.rom().nodeId());
    EXPECT_EQ(first.id.substr(2), "06050403020110");
    const auto second = searchStep(state_, setup);
    EXPECT_FALSE(second.found);
    EXPECT_TRUE(second.done);
    // The next pass starts from the first node again.
    EXPECT_EQ(searchStep(state_, setup).id, n.rom().nodeId());
}

TEST_F(OneWireSearch, ManyNodesAreEachFoundOncePerPass)
{
    // Serials chosen to share long prefixes, so the search branches deep.
    const std::uint64_t serials[] = {0x000000000001, 0x000000000003, 0x800000000001, 0x800000000000,
                                     0x7FFFFFFFFFFF, 0xFFFFFFFFFFFF, 0x123456789ABC, 0x123456789ABD};
    for (std::uint8_t fam : {0x10, 0x23})
        for (auto s : serials)
            add<SimRomOnlyNode>(fam, s);
    const auto pass1 = searchPass(state_);
    EXPECT_EQ(pass1.size(), 16u);
    EXPECT_EQ(sorted(pass1), networkIds());
    EXPECT_EQ(searchPass(state_), pass1);  // the same order every pass
}

TEST_F(OneWireSearch, PassesFollowPluggingAndUnplugging)
{
    auto& a = add<SimRomOnlyNode>(0x2D, 0xA1);
    add<SimRomOnlyNode>(0x2D, 0xB2);
    EXPECT_EQ(searchPass(state_).size(), 2u);

    auto c = std::make_shared<SimRomOnlyNode>(RomCode::make(0x14, 0xC3));
    net_->addNode(c);
    EXPECT_EQ(sorted(searchPass(state_)), networkIds());
    EXPECT_EQ(searchPass(state_).size(), 3u);

    auto gone = net_->removeNode(a.rom());
    ASSERT_TRUE(gone);
    const auto afterUnplug = searchPass(state_);
    EXPECT_EQ(afterUnplug.size(), 2u);
    EXPECT_EQ(std::count(afterUnplug.begin(), afterUnplug.end(), gone->rom().nodeId()), 0);

    net_->addNode(gone);  // plugged in again
    EXPECT_EQ(searchPass(state_).size(), 3u);
    net_->clearNodes();
    EXPECT_TRUE(searchPass(state_).empty());
}

TEST_F(OneWireSearch, DeviceJobBetweenStepsDoesNotMoveTheSearch)
{
    for (std::uint64_t s : {0x11, 0x22, 0x33, 0x44})
        add<SimRomOnlyNode>(0x23, s);
    const auto plain = searchPass(state_);
    ASSERT_EQ(plain.size(), 4u);

    bool setup = false;
    std::vector<std::string> withJobs;
    for (int step = 0; step < 10; ++step) {
        const auto r = searchStep(state_, setup);
        if (!r.found)
            break;
        withJobs.push_back(r.id);
        // A device job on another node, between two steps.
        Job job(state_);
        ASSERT_TRUE(job.select(plain[3]));
        job.block({0xF0, 0x00, 0x00});
        job.read(4);
        job.end();
    }
    EXPECT_EQ(withJobs, plain);
}

TEST_F(OneWireSearch, FlippedBitMidSearchIsNotReportedAsANode)
{
    add<SimRomOnlyNode>(0x23, 0x11);
    add<SimRomOnlyNode>(0x23, 0x12);
    // Slot 9: reset, 8 slots of F0h, then the first id bit: inverting it makes the
    // bit pair claim a discrepancy or a missing node at position 1.
    net_->flipBitAfter(9);
    const auto pass = searchPass(state_);
    for (const auto& id : pass)
        EXPECT_TRUE(RomCode::fromNodeId(id)->crcValid()) << id;
    EXPECT_EQ(sorted(searchPass(state_)), networkIds());  // the next pass is whole
}

TEST_F(OneWireSearch, NoPresenceMeansNothingFound)
{
    add<SimRomOnlyNode>(0x23, 0x11);
    net_->faults().noPresence = true;
    EXPECT_TRUE(searchPass(state_).empty());
    net_->faults().noPresence = false;
    EXPECT_EQ(searchPass(state_).size(), 1u);
}

TEST_F(OneWireSearch, FailedSessionGivesNeitherFoundNorDone)
{
    add<SimRomOnlyNode>(0x23, 0x11);
    net_->faults().failSessionStarts = 2;  // the start and its retry
    bool setup = false;
    const auto r = searchStep(state_, setup);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.done);
    EXPECT_TRUE(searchStep(state_, setup).found);
}

TEST_F(OneWireSearch, StandardNodesDoNotAnswerAtOverdriveSpeed)
{
    auto& od = add<SimRomOnlyNode>(0x01, 0x55);
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_OVERDRIVE);
    EXPECT_EQ(platform::TMNext(s, state_), 0);
    platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_NORMAL);
    EXPECT_EQ(platform::TMNext(s, state_), 1);
    platform::TmexRom rom{};
    platform::TMRom(s, state_, rom);
    EXPECT_EQ(rom[0], 0x01);
    EXPECT_EQ(rom[7], od.rom().bytes[7]);
    platform::TMEndSession(s);
}

} // namespace
