// The shared lane of the simulated bus. After a reset every node receives the same ROM
// command bit by bit, and in a search or a Match ROM the nodes drop out as their ROM bits
// differ from what the bus carries: until a node is selected, its state follows from its
// ROM and the slot levels since the reset alone. The lane keeps those levels once for all
// such nodes and answers their part of each slot from an ordered index of their ROMs (in
// the bit order of the search), so a slot costs a lookup, not a visit to every node.
//
// A node leaves the lane, with the lane's slots replayed to it so that it goes on from
// exactly the state it would have had, when it is selected (the search or the Match ROM
// ends on it, or Read ROM, Skip ROM or an overdrive command selects every node), when its
// connection or fault knobs are about to change, or when it leaves the network. It joins
// the lane at the next reset at standard speed once it only waits for a ROM command again
// (connected, at standard speed, no operation running, its knobs never handed out).

#include "sim/onewire/simnetwork.h"

#include "sim/onewire/simnode.h"

#include <algorithm>
#include <set>

namespace platform::sim {

namespace {
constexpr std::uint8_t kReadRom = 0x33;
constexpr std::uint8_t kMatchRom = 0x55;
constexpr std::uint8_t kSkipRom = 0xCC;
constexpr std::uint8_t kSearchRom = 0xF0;
constexpr std::uint8_t kOverdriveSkip = 0x3C;
constexpr std::uint8_t kOverdriveMatch = 0x69;

// Keys whose first depth bits are prefix: lo .. hi.
std::uint64_t rangeLow(int depth, std::uint64_t prefix) { return depth == 0 ? 0 : prefix << (64 - depth); }
std::uint64_t rangeSpan(int depth) { return depth == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (64 - depth)) - 1; }
} // namespace

void SimNetwork::attach(const std::shared_ptr<SimNode>& n)
{
    if (n->network_ && n->network_ != this)
        n->network_->removeNode(n->rom());
    n->network_ = this;
    n->lane_ = SimNode::Lane::Own;
    own_.push_back(n.get());
    byRom_[n->rom()] = n;
}

void SimNetwork::detach(SimNode& n)
{
    if (n.network_ != this)
        return;
    if (n.lane_ == SimNode::Lane::Shared)
        takeOut(n);
    if (n.lane_ == SimNode::Lane::Own)
        own_.erase(std::find(own_.begin(), own_.end(), &n));
    if (auto it = byRom_.find(n.rom()); it != byRom_.end() && it->second.get() == &n)
        byRom_.erase(it);
    n.network_ = nullptr;
    n.lane_ = SimNode::Lane::Own;
}

void SimNetwork::replaceNodes(std::vector<std::shared_ptr<SimNode>> next)
{
    std::set<SimNode*> kept;
    for (const auto& n : next)
        kept.insert(n.get());
    for (const auto& n : nodes_)
        if (!kept.count(n.get()))
            detach(*n);
    nodes_ = std::move(next);
    for (const auto& n : nodes_)
        if (n->network_ != this)
            attach(n);
}

void SimNetwork::nodeChanged(SimNode& n)
{
    switch (n.lane_) {
    case SimNode::Lane::Shared:
        takeOut(n);
        break;
    case SimNode::Lane::Off:
        n.lane_ = SimNode::Lane::Own;
        own_.push_back(&n);
        break;
    case SimNode::Lane::Own:
        break;
    }
}

void SimNetwork::takeOut(SimNode& n)
{
    lane_.erase(n.laneKey_);
    phase_.single = false;
    n.lane_ = SimNode::Lane::Own;
    own_.push_back(&n);
    // The reset that began the phase, then every slot the lane took part in.
    n.busReset(true);
    for (const std::uint8_t level : phase_.levels) {
        n.drive();
        n.sample(level);
    }
}

void SimNetwork::takeOutAll()
{
    std::vector<SimNode*> all;
    all.reserve(lane_.size());
    for (const auto& [key, n] : lane_)
        all.push_back(n);
    for (SimNode* n : all)
        takeOut(*n);
}

bool SimNetwork::laneEligible(const SimNode& n) const
{
    return n.connected() && !n.overdrive() && !n.operationPending() && !n.knobsHandedOut_;
}

bool SimNetwork::laneActive() const
{
    return phase_.kind != LanePhase::Over && speed_ != Speed::Overdrive && !lane_.empty();
}

bool SimNetwork::laneHas(std::uint64_t lo, std::uint64_t hi) const
{
    const auto it = lane_.lower_bound(lo);
    return it != lane_.end() && it->first <= hi;
}

int SimNetwork::laneDrive() const
{
    if (phase_.kind != LanePhase::Search || phase_.slot == 2)
        return 1;  // receiving, or reading the direction
    // Slot 0: a node whose next bit is 0 pulls the line low; slot 1: one whose bit is 1.
    if (phase_.single) {
        const int next = static_cast<int>((phase_.singleKey >> (63 - phase_.depth)) & 0x01);
        return next == phase_.slot ? 0 : 1;
    }
    const std::uint64_t lo = rangeLow(phase_.depth, phase_.prefix);
    const std::uint64_t half = rangeSpan(phase_.depth) >> 1;
    const bool pulled = phase_.slot == 0 ? laneHas(lo, lo | half) : laneHas(lo | (half + 1), lo | rangeSpan(phase_.depth));
    return pulled ? 0 : 1;
}

void SimNetwork::laneSample(int level)
{
    LanePhase& p = phase_;
    p.levels.push_back(static_cast<std::uint8_t>(level));
    switch (p.kind) {
    case LanePhase::Over:
        return;
    case LanePhase::Command:
        p.command = static_cast<std::uint8_t>(p.command | (level << p.bits));
        if (++p.bits < 8)
            return;
        switch (p.command) {
        case kSearchRom:
            p.kind = LanePhase::Search;
            return;
        case kMatchRom:
            p.kind = LanePhase::Match;
            return;
        case kReadRom:
        case kSkipRom:
        case kOverdriveSkip:
        case kOverdriveMatch:
            // Every node answers on its own (a Read ROM of several nodes collides).
            p.kind = LanePhase::Over;
            takeOutAll();
            return;
        default:
            p.kind = LanePhase::Over;  // a command no node knows: all wait for the next reset
            return;
        }
    case LanePhase::Search:
        if (p.slot < 2) {
            ++p.slot;
            return;
        }
        p.slot = 0;
        laneNarrow(level);
        return;
    case LanePhase::Match:
        laneNarrow(level);
        return;
    }
}

void SimNetwork::laneNarrow(int level)
{
    LanePhase& p = phase_;
    p.prefix = (p.prefix << 1) | static_cast<std::uint64_t>(level & 0x01);
    ++p.depth;
    const std::uint64_t lo = rangeLow(p.depth, p.prefix);
    const std::uint64_t hi = lo | rangeSpan(p.depth);
    if (p.single) {
        if (p.singleKey < lo || p.singleKey > hi) {
            p.kind = LanePhase::Over;
            return;
        }
    } else {
        const auto it = lane_.lower_bound(lo);
        if (it == lane_.end() || it->first > hi) {
            p.kind = LanePhase::Over;
            return;
        }
        const auto after = std::next(it);
        if (after == lane_.end() || after->first > hi) {
            p.single = true;
            p.singleKey = it->first;
        }
    }
    if (p.depth == 64) {
        p.kind = LanePhase::Over;
        takeOut(*lane_.at(p.prefix));
    }
}

} // namespace platform::sim
