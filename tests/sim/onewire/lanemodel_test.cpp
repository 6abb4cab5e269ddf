// The simulated network against plain models of the bus: a wired-AND of ROM-only nodes
// written slot by slot here, and the same network with every node forced to answer on
// its own (a vanish knob that never fires). Searches among nodes that share long ROM
// prefixes, nodes plugged, unplugged, reconnected and moved mid-command, knobs set
// mid-pass, Read/Skip/Match ROM and overdrive: every slot must read the same.

#include "platform/base/clock.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace platform::sim;

// ROM bit i in search order: bit i % 8 of byte i / 8.
int romBit(const RomCode& r, int i) { return (r.bytes[i / 8] >> (i % 8)) & 1; }

RomCode rawRom(std::uint64_t v)
{
    RomCode r;
    for (int i = 0; i < 8; ++i)
        r.bytes[i] = static_cast<std::uint8_t>(v >> (8 * i));
    return r;
}

std::uint64_t romValue(const RomCode& r)
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= std::uint64_t(r.bytes[i]) << (8 * i);
    return v;
}

// A ROM-only node as the 1-Wire ROM layer describes it: after a reset it takes a
// command byte; Read ROM sends the 64 ROM bits; Match ROM drops out at the first bit
// that differs; Search ROM sends each bit and its complement and drops out when the
// master's direction differs; Skip ROM selects; anything else (and a selected ROM-only
// node) leaves the line released until the next reset.
struct ModelNode {
    enum St { Asleep, Cmd, ReadRom, Match, Search, Released } st = Asleep;
    RomCode rom;
    int bits = 0;
    int cmd = 0;
    int sub = 0;

    void reset()
    {
        st = Cmd;
        bits = 0;
        cmd = 0;
    }
    int drive() const
    {
        if (st == ReadRom)
            return romBit(rom, bits);
        if (st == Search && sub == 0)
            return romBit(rom, bits);
        if (st == Search && sub == 1)
            return 1 - romBit(rom, bits);
        return 1;
    }
    void sample(int level)
    {
        switch (st) {
        case Cmd:
            cmd |= level << bits;
            if (++bits == 8) {
                bits = 0;
                sub = 0;
                st = cmd == 0x33 ? ReadRom : cmd == 0x55 ? Match : cmd == 0xF0 ? Search : Released;
            }
            break;
        case ReadRom:
            if (++bits == 64)
                st = Released;
            break;
        case Match:
            if (level != romBit(rom, bits))
                st = Released;
            else if (++bits == 64)
                st = Released;
            break;
        case Search:
            if (sub < 2) {
                ++sub;
            } else {
                sub = 0;
                if (level != romBit(rom, bits))
                    st = Released;
                else if (++bits == 64)
                    st = Released;
            }
            break;
        default:
            break;
        }
    }
};

// The whole bus: nodes by ROM, a node plugged in waits for the next reset.
struct ModelBus {
    std::map<std::uint64_t, ModelNode> nodes;

    void plug(const RomCode& r)
    {
        ModelNode n;
        n.rom = r;
        nodes[romValue(r)] = n;  // asleep until the next reset
    }
    void unplug(const RomCode& r) { nodes.erase(romValue(r)); }
    bool reset()
    {
        for (auto& [k, n] : nodes)
            n.reset();
        return !nodes.empty();
    }
    int touchBit(int bit)
    {
        int level = bit;
        for (auto& [k, n] : nodes)
            level &= n.drive();
        for (auto& [k, n] : nodes)
            n.sample(level);
        return level;
    }
};

// Both buses driven alike; every answer compared.
struct Pair {
    SimNetwork net;
    ModelBus model;
    std::string where;

    void plug(const RomCode& r)
    {
        net.addNode(std::make_shared<SimRomOnlyNode>(r));
        model.plug(r);
    }
    void unplug(const RomCode& r)
    {
        net.removeNode(r);
        model.unplug(r);
    }
    void reset()
    {
        bool a = net.reset();
        bool b = model.reset();
        ASSERT_EQ(a, b) << where << ": presence";
    }
    int bit(int b)
    {
        int a = net.touchBit(b);
        int m = model.touchBit(b);
        EXPECT_EQ(a, m) << where << ": slot " << net.slotCount();
        return m;
    }
    void byte(int v)
    {
        for (int i = 0; i < 8; ++i)
            bit((v >> i) & 1);
    }
};

// One search pass step by step: the classic discrepancy walk; found ROMs collected.
std::vector<std::uint64_t> searchAll(Pair& p, int maxPasses = 100000)
{
    std::vector<std::uint64_t> found;
    int lastDiscrepancy = -1;
    std::uint64_t last = 0;
    for (int pass = 0; pass < maxPasses; ++pass) {
        p.reset();
        p.byte(0xF0);
        std::uint64_t rom = 0;
        int discrepancy = -1;
        bool broken = false;
        for (int i = 0; i < 64; ++i) {
            int a = p.bit(1);
            int b = p.bit(1);
            int dir;
            if (a == 1 && b == 1) {
                broken = true;
                break;
            }
            if (a != b) {
                dir = a;
            } else if (i < lastDiscrepancy) {
                dir = static_cast<int>((last >> i) & 1);
                if (dir == 0)
                    discrepancy = i;
            } else {
                dir = i == lastDiscrepancy ? 1 : 0;
                if (dir == 0)
                    discrepancy = i;
            }
            p.bit(dir);
            rom |= std::uint64_t(dir) << i;
        }
        if (broken)
            break;
        found.push_back(rom);
        last = rom;
        lastDiscrepancy = discrepancy;
        if (lastDiscrepancy < 0)
            break;
    }
    return found;
}

struct ClockFixture : ::testing::Test {
    platform::VirtualClock clock;
    platform::ScopedClock scoped{clock};
};

using LaneModel = ClockFixture;

TEST_F(LaneModel, SearchAmongNodesSharingLongPrefixesFindsEveryNodeSlotBySlot)
{
    Pair p;
    p.where = "prefix search";
    std::mt19937_64 rng(34);
    std::set<std::uint64_t> roms;
    const std::uint64_t base = 0x5A00C0FFEE123423ull;
    // Neighbours differing only in the last bits, in the CRC byte, and one bit anywhere.
    for (int i = 0; i < 64; ++i)
        roms.insert(base ^ (std::uint64_t(i) << 58));
    for (int i = 0; i < 64; ++i)
        roms.insert(base ^ (1ull << i));
    for (int i = 0; i < 60; ++i)
        roms.insert(rng());
    roms.insert(0);
    roms.insert(~0ull);
    for (auto r : roms)
        p.plug(rawRom(r));
    auto found = searchAll(p);
    std::set<std::uint64_t> got(found.begin(), found.end());
    EXPECT_EQ(got, roms);
    EXPECT_EQ(found.size(), roms.size());
}

TEST_F(LaneModel, ReadRomIsTheWiredAndOfEveryRom)
{
    Pair p;
    p.where = "read rom";
    p.plug(rawRom(0xF0F0F0F0F0F0F0F0ull));
    p.plug(rawRom(0xFFFF0000FFFF0000ull));
    p.plug(rawRom(0x123456789ABCDEF0ull));
    p.reset();
    p.byte(0x33);
    for (int i = 0; i < 70; ++i)
        p.bit(1);
}

TEST_F(LaneModel, MatchRomOfAPrefixNoNodeHasLeavesTheLineReleased)
{
    Pair p;
    p.where = "match";
    const std::uint64_t a = 0x1122334455667701ull;
    p.plug(rawRom(a));
    p.plug(rawRom(a ^ (1ull << 63)));
    p.reset();
    p.byte(0x55);
    for (int i = 0; i < 64; ++i)
        p.bit(static_cast<int>(((a ^ (1ull << 40)) >> i) & 1));
    for (int i = 0; i < 16; ++i)
        p.bit(1);
    // A Search after a reset still finds both.
    auto found = searchAll(p);
    EXPECT_EQ(found.size(), 2u);
}

// Network changes in the middle of a search, at every bit position.
enum class Change { Unplug, Replug, PlugNew, Disconnect, Reconnect, MoveAway, MoveBack, Knob };

void changeMidSearch(Change c, int atBit)
{
    SCOPED_TRACE(testing::Message() << "change " << static_cast<int>(c) << " at bit " << atBit);
    Pair p;
    SimNetwork other;
    p.where = "mid-search";
    const std::uint64_t base = 0xA5A5A5A5A5A5A501ull;
    std::vector<std::uint64_t> roms;
    for (int i = 0; i < 8; ++i)
        roms.push_back(base ^ (std::uint64_t(i) << 61));
    for (auto r : roms)
        p.plug(rawRom(r));
    const RomCode target = rawRom(roms[5]);
    std::shared_ptr<SimNode> kept;
    if (c == Change::Replug || c == Change::MoveBack) {
        kept = p.net.removeNode(target);
        p.model.unplug(target);
    }
    if (c == Change::Reconnect) {
        p.net.findNode(target)->setConnected(false);
        p.model.unplug(target);
    }
    p.reset();
    p.byte(0xF0);
    // Follow the target's path; the change comes at atBit.
    for (int i = 0; i < 64; ++i) {
        if (i == atBit) {
            switch (c) {
            case Change::Unplug:
                p.unplug(target);
                break;
            case Change::Replug:
                p.net.addNode(kept);
                p.model.plug(target);
                break;
            case Change::PlugNew: {
                // A node on the same path so far: it waits for a reset.
                auto r = rawRom(roms[5] ^ (1ull << 63) ^ (1ull << 62) ^ (1ull << 60));
                p.plug(r);
                break;
            }
            case Change::Disconnect:
                p.net.findNode(target)->setConnected(false);
                p.model.unplug(target);
                break;
            case Change::Reconnect:
                p.net.findNode(target)->setConnected(true);
                p.model.plug(target);
                break;
            case Change::MoveAway:
                other.addNode(p.net.removeNode(target));
                p.model.unplug(target);
                break;
            case Change::MoveBack:
                other.addNode(kept);
                p.net.addNode(kept);
                p.model.plug(target);
                break;
            case Change::Knob:
                // A knob that changes nothing: the node answers on its own from now on.
                p.net.findNode(rawRom(roms[5]))->faults().copyNeverCompletes = false;
                p.net.findNode(rawRom(roms[6]))->faults().refuseCopy = false;
                break;
            }
        }
        p.bit(1);
        p.bit(1);
        p.bit(romBit(target, i));
    }
    for (int i = 0; i < 10; ++i)
        p.bit(1);
    // The next pass sees the network as it is now.
    auto found = searchAll(p);
    std::set<std::uint64_t> want;
    for (auto& [k, n] : p.model.nodes)
        want.insert(k);
    EXPECT_EQ(std::set<std::uint64_t>(found.begin(), found.end()), want);
}

TEST_F(LaneModel, NetworkChangesMidSearchAtEveryBit)
{
    for (Change c : {Change::Unplug, Change::Replug, Change::PlugNew, Change::Disconnect, Change::Reconnect,
                     Change::MoveAway, Change::MoveBack, Change::Knob})
        for (int bit : {0, 1, 7, 8, 31, 55, 60, 61, 62, 63})
            changeMidSearch(c, bit);
}

// The same network twice: once as it is, once with every node answering on its own.
struct Twin {
    SimNetwork lane;
    SimNetwork own;
    std::vector<RomCode> roms;

    template <class Make>
    void plug(const RomCode& r, Make make)
    {
        lane.addNode(make(r));
        auto n = make(r);
        n->faults().vanishAfterSlots = std::uint64_t(1) << 60;
        own.addNode(n);
        roms.push_back(r);
    }
    bool reset()
    {
        bool a = lane.reset();
        bool b = own.reset();
        EXPECT_EQ(a, b) << "presence";
        return b;
    }
    int bit(int v)
    {
        int a = lane.touchBit(v);
        int b = own.touchBit(v);
        EXPECT_EQ(a, b) << "slot " << own.slotCount();
        return b;
    }
    int byte(int v)
    {
        int r = 0;
        for (int i = 0; i < 8; ++i)
            r |= bit((v >> i) & 1) << i;
        return r;
    }
    void speed(Speed s)
    {
        lane.setSpeed(s);
        own.setSpeed(s);
    }
    void pullup(Micros d)
    {
        lane.strongPullup(d);
        own.strongPullup(d);
    }
};

std::shared_ptr<SimNode> makeAny(const RomCode& r) { return makeNode(r); }

TEST_F(LaneModel, OverdriveSkipAndMatchAnswerAsNodesOnTheirOwn)
{
    Twin t;
    t.plug(RomCode::make(0x23, 0x1001), makeAny);
    t.plug(RomCode::make(0x2D, 0x1002), makeAny);
    t.plug(RomCode::make(0x14, 0x1003), makeAny);
    t.plug(RomCode::make(0x01, 0x1004), makeAny);
    t.plug(RomCode::make(0x2D, 0x1005), makeAny);
    // Overdrive Skip: the overdrive nodes follow, then an overdrive search and reads.
    t.reset();
    t.byte(0x3C);
    t.speed(Speed::Overdrive);
    for (int i = 0; i < 16; ++i)
        t.bit(1);
    t.reset();
    t.byte(0xF0);
    for (int i = 0; i < 64 * 3; ++i)
        t.bit(i % 3 == 2 ? 0 : 1);
    t.reset();
    t.byte(0x33);
    for (int i = 0; i < 64; ++i)
        t.bit(1);
    t.speed(Speed::Standard);
    t.reset();
    t.byte(0xF0);
    for (int i = 0; i < 64 * 3; ++i)
        t.bit(1);
    // Overdrive Match of one node, then a memory read at overdrive speed.
    t.reset();
    t.byte(0x69);
    t.speed(Speed::Overdrive);
    for (int i = 0; i < 64; ++i)
        t.bit(romBit(t.roms[1], i));
    t.byte(0xF0);
    t.byte(0x00);
    t.byte(0x00);
    for (int i = 0; i < 20; ++i)
        t.byte(0xFF);
    t.reset();
    t.byte(0xCC);
    t.byte(0xAA);
    for (int i = 0; i < 4; ++i)
        t.byte(0xFF);
    t.speed(Speed::Standard);
    t.reset();
    t.byte(0x33);
    for (int i = 0; i < 64; ++i)
        t.bit(1);
}

// Random traffic with random network changes between any two slots.
TEST_F(LaneModel, RandomTrafficWithChangesReadsAsNodesOnTheirOwn)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        Twin t;
        SimNetwork laneAway, ownAway;
        const std::uint8_t fams[] = {0x01, 0x23, 0x2D, 0x14, 0x09, 0x89};
        const std::uint64_t base = 0x00C0FFEE5A5Aull;
        for (int i = 0; i < 24; ++i)
            t.plug(RomCode::make(fams[rng() % 6], base ^ (std::uint64_t(rng() % 64) << 42) ^ (rng() % 4)),
                   makeAny);
        std::map<std::string, std::shared_ptr<SimNode>> laneGone, ownGone;
        auto change = [&] {
            const RomCode r = t.roms[rng() % t.roms.size()];
            SimNode* a = t.lane.findNode(r);
            SimNode* b = t.own.findNode(r);
            switch (rng() % 7) {
            case 0:  // unplug / plug back
                if (a && b) {
                    laneGone[r.nodeId()] = t.lane.removeNode(r);
                    ownGone[r.nodeId()] = t.own.removeNode(r);
                } else if (laneGone.count(r.nodeId())) {
                    t.lane.addNode(laneGone[r.nodeId()]);
                    t.own.addNode(ownGone[r.nodeId()]);
                    laneGone.erase(r.nodeId());
                    ownGone.erase(r.nodeId());
                }
                break;
            case 1:  // connection
                if (a && b) {
                    bool on = !b->connected();
                    a->setConnected(on);
                    b->setConnected(on);
                }
                break;
            case 2:  // a knob that changes nothing
                if (a)
                    a->faults().scratchpadDiffers = b ? b->faults().scratchpadDiffers : false;
                break;
            case 3:  // to another network and back
                if (a && b) {
                    laneAway.addNode(t.lane.removeNode(r));
                    ownAway.addNode(t.own.removeNode(r));
                    t.lane.addNode(laneAway.removeNode(r));
                    t.own.addNode(ownAway.removeNode(r));
                }
                break;
            case 5:  // presence lost or back
                t.lane.faults().noPresence = !t.lane.faults().noPresence;
                t.own.faults().noPresence = t.lane.faults().noPresence;
                break;
            case 4:  // a read bit flipped
            {
                auto n = 1 + rng() % 20;
                t.lane.flipBitAfter(n);
                t.own.flipBitAfter(n);
                break;
            }
            default:
                break;
            }
        };
        for (int op = 0; op < 300; ++op) {
            if (rng() % 4 == 0)
                change();
            switch (rng() % 8) {
            case 0:
                t.reset();
                break;
            case 1: {  // a search step with random directions
                t.reset();
                t.byte(0xF0);
                for (int i = 0; i < 64; ++i) {
                    int a = t.bit(1);
                    int b = t.bit(1);
                    t.bit(a != b ? a : static_cast<int>(rng() % 2));
                    if (rng() % 50 == 0)
                        change();
                }
                break;
            }
            case 2: {  // Match ROM of a node (sometimes one bit off), then a memory read
                const RomCode r = t.roms[rng() % t.roms.size()];
                int off = rng() % 3 == 0 ? static_cast<int>(rng() % 64) : -1;
                t.reset();
                t.byte(0x55);
                for (int i = 0; i < 64; ++i) {
                    t.bit(romBit(r, i) ^ (i == off ? 1 : 0));
                    if (rng() % 40 == 0)
                        change();
                }
                t.byte(0xF0);
                t.byte(static_cast<int>(rng() % 32));
                t.byte(0);
                for (int i = 0; i < 8; ++i)
                    t.byte(0xFF);
                break;
            }
            case 3:  // Read ROM
                t.reset();
                t.byte(0x33);
                for (int i = 0; i < 64; ++i)
                    t.bit(1);
                break;
            case 4:  // Skip ROM and a scratchpad read
                t.reset();
                t.byte(0xCC);
                t.byte(0xAA);
                for (int i = 0; i < 6; ++i)
                    t.byte(0xFF);
                break;
            case 5:  // a command byte of any value
                t.reset();
                t.byte(static_cast<int>(rng() % 256));
                for (int i = 0; i < 24; ++i)
                    t.bit(static_cast<int>(rng() % 2));
                break;
            case 6:  // loose slots
                for (int i = 0; i < 10; ++i)
                    t.bit(static_cast<int>(rng() % 2));
                break;
            case 7:  // overdrive skip and back
                t.reset();
                t.byte(0x3C);
                t.speed(Speed::Overdrive);
                t.byte(0xAA);
                t.byte(0xFF);
                t.reset();
                t.byte(0x33);
                for (int i = 0; i < 64; ++i)
                    t.bit(1);
                t.speed(Speed::Standard);
                break;
            }
            if (HasFailure())
                return;
        }
        EXPECT_EQ(t.lane.transcriptText(), t.own.transcriptText());
        EXPECT_EQ(t.lane.busTime(), t.own.busTime());
    }
}

} // namespace

namespace {

// A knob set through a reference kept from before the search, and a description loaded
// in the middle of one: the node answers as it would on its own; the transcripts and
// bus times of both networks are the same.
TEST_F(LaneModel, KnobsThroughAKeptReferenceAndReloadsMidSearch)
{
    for (int atBit : {0, 5, 33, 63}) {
        SCOPED_TRACE(testing::Message() << "at bit " << atBit);
        Twin t;
        for (int i = 0; i < 6; ++i)
            t.plug(RomCode::make(0x2D, 0x77000 + i * 0x100000000ull), makeAny);
        const RomCode victim = t.roms[3];
        NodeFaults& kept = t.lane.findNode(victim)->faults();
        NodeFaults& keptOwn = t.own.findNode(victim)->faults();
        t.reset();
        t.byte(0xF0);
        for (int i = 0; i < 64; ++i) {
            if (i == atBit) {
                kept.vanishAfterSlots = 4;
                keptOwn.vanishAfterSlots = 4;
            }
            t.bit(1);
            t.bit(1);
            t.bit(romBit(victim, i));
        }
        t.reset();
        t.byte(0x33);
        for (int i = 0; i < 64; ++i)
            t.bit(1);
        EXPECT_EQ(t.lane.transcriptText(), t.own.transcriptText());
        EXPECT_EQ(t.lane.busTime(), t.own.busTime());
    }
}

TEST_F(LaneModel, DescriptionLoadedMidSearchKeepsNodesInBothAndWaitsForTheReset)
{
    Pair p;
    p.where = "reload";
    std::string err;
    ASSERT_TRUE(p.net.loadDescription("node 01:000000000A01\nnode 01:000000000A02\nnode 01:000000000A03\n", {}, err))
        << err;
    for (auto& n : p.net.nodes())
        p.model.plug(n->rom());
    const RomCode follow = RomCode::make(0x01, 0xA02);
    p.reset();
    p.byte(0xF0);
    for (int i = 0; i < 64; ++i) {
        if (i == 20) {
            ASSERT_TRUE(p.net.loadDescription("node 01:000000000A02\nnode 01:000000000A04\n", {}, err)) << err;
            p.model.unplug(RomCode::make(0x01, 0xA01));
            p.model.unplug(RomCode::make(0x01, 0xA03));
            p.model.plug(RomCode::make(0x01, 0xA04));
        }
        p.bit(1);
        p.bit(1);
        p.bit(romBit(follow, i));
    }
    auto found = searchAll(p);
    EXPECT_EQ(found.size(), 2u);
}

} // namespace

namespace {

// A node outlives its network, or the network is emptied in the middle of a command: the
// node's knobs, its connection and another network still work.
TEST_F(LaneModel, ANodeOutlivesItsNetworkAndNetworksEmptiedMidCommand)
{
    auto node = std::shared_ptr<SimNode>(makeNode(RomCode::make(0x2D, 0xBEEF)));
    auto other = std::shared_ptr<SimNode>(makeNode(RomCode::make(0x01, 0xBEEF)));
    {
        auto net = std::make_unique<SimNetwork>();
        net->addNode(node);
        net->addNode(other);
        net->reset();
        net->touchByte(0xF0);
        net->touchBit(1);
    }
    node->faults().refuseCopy = false;
    node->setConnected(false);
    node->setConnected(true);
    other->faults().scratchpadDiffers = false;
    Pair p;
    p.where = "after";
    p.net.addNode(node);
    p.model.plug(node->rom());
    p.net.addNode(other);
    p.model.plug(other->rom());
    EXPECT_EQ(searchAll(p).size(), 2u);
    // Emptied mid-search, then filled again.
    p.reset();
    p.byte(0xF0);
    p.bit(1);
    p.bit(1);
    p.net.clearNodes();
    p.model.nodes.clear();
    for (int i = 0; i < 20; ++i)
        p.bit(1);
    p.plug(RomCode::make(0x01, 0x1234));
    for (int i = 0; i < 20; ++i)
        p.bit(1);
    EXPECT_EQ(searchAll(p).size(), 1u);
}

// Copies with their programming time, conversions, EPROM programming and Read Memory on
// memory nodes among many waiting ones: bus, transcript and bus time as nodes on their own.
TEST_F(LaneModel, FunctionCommandsAmongWaitingNodesAnswerAsNodesOnTheirOwn)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        Twin t;
        const std::uint8_t fams[] = {0x23, 0x2D, 0x14, 0x12, 0x10, 0x01};
        for (int i = 0; i < 18; ++i)
            t.plug(RomCode::make(fams[i % 6], 0x4400 + i * 0x10001ull), makeAny);
        auto match = [&](const RomCode& r) {
            t.reset();
            t.byte(0x55);
            for (int i = 0; i < 64; ++i)
                t.bit(romBit(r, i));
        };
        for (int op = 0; op < 80 && !HasFailure(); ++op) {
            const RomCode r = t.roms[rng() % t.roms.size()];
            switch (rng() % 6) {
            case 0: {  // write scratchpad, read it, copy with a pull-up or idle time
                match(r);
                int adr = static_cast<int>(rng() % 4) * 8;
                t.byte(0x0F);
                t.byte(adr);
                t.byte(0);
                for (int i = 0; i < 8; ++i)
                    t.byte(static_cast<int>(rng() % 256));
                t.bit(1);
                match(r);
                t.byte(0xAA);
                int a1 = t.byte(0xFF), a2 = t.byte(0xFF), es = t.byte(0xFF);
                for (int i = 0; i < 10; ++i)
                    t.byte(0xFF);
                match(r);
                t.byte(0x55);
                t.byte(a1);
                t.byte(a2);
                t.byte(es);
                if (rng() % 2)
                    t.pullup(Micros(12000));
                else
                    clock.advance(Micros(rng() % 15000));
                t.byte(0xFF);
                break;
            }
            case 1:  // read memory
                match(r);
                t.byte(0xF0);
                t.byte(static_cast<int>(rng() % 64));
                t.byte(0);
                for (int i = 0; i < 12; ++i)
                    t.byte(0xFF);
                break;
            case 2:  // convert T on all, then a scratchpad read of one
                t.reset();
                t.byte(0xCC);
                t.byte(0x44);
                clock.advance(Micros(rng() % 900000));
                for (int i = 0; i < 3; ++i)
                    t.bit(1);
                match(r);
                t.byte(0xBE);
                for (int i = 0; i < 9; ++i)
                    t.byte(0xFF);
                break;
            case 3: {  // EPROM write memory with a programming pulse
                match(r);
                t.byte(0x0F);
                t.byte(static_cast<int>(rng() % 16));
                t.byte(0);
                t.byte(static_cast<int>(rng() % 256));
                t.byte(0xFF);
                t.byte(0xFF);
                bool a = t.lane.programPulse();
                bool b = t.own.programPulse();
                EXPECT_EQ(a, b) << "program pulse";
                t.byte(0xFF);
                break;
            }
            case 4: {  // a search with random directions
                t.reset();
                t.byte(0xF0);
                for (int i = 0; i < 64; ++i) {
                    int a = t.bit(1);
                    int b = t.bit(1);
                    t.bit(a != b ? a : static_cast<int>(rng() % 2));
                }
                break;
            }
            default:  // idle time, a channel access on a switch
                clock.advance(Micros(rng() % 3000));
                match(r);
                t.byte(0xF5);
                t.byte(0x45);
                t.byte(0xFF);
                for (int i = 0; i < 8; ++i)
                    t.bit(static_cast<int>(rng() % 2));
            }
        }
        EXPECT_EQ(t.lane.transcriptText(), t.own.transcriptText());
        EXPECT_EQ(t.lane.busTime(), t.own.busTime());
    }
}

} // namespace
