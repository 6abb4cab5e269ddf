#include "sim/onewire/simnetwork.h"

#include "sim/onewire/simnode.h"

#include <algorithm>
#include <cstdio>

namespace platform::sim {

SimNetwork::SimNetwork()
{
    clockUsed_ = &platform::clock();
    lastActivity_ = clockUsed_->now();
}

SimNetwork::~SimNetwork()
{
    // Nodes that outlive the network keep their exact state.
    for (const auto& n : nodes_)
        detach(*n);
}

bool SimNetwork::partakes(const SimNode& n) const
{
    return n.connected() && n.overdrive() == (speed_ == Speed::Overdrive);
}

Micros SimNetwork::idleSoFar() const
{
    platform::Clock& c = platform::clock();
    const auto now = c.now();
    if (&c != clockUsed_ || now <= lastActivity_)
        return Micros(0);
    return std::chrono::duration_cast<Micros>(now - lastActivity_);
}

void SimNetwork::idleElapse()
{
    platform::Clock& c = platform::clock();
    const auto now = c.now();
    Micros idle{0};
    if (&c == clockUsed_ && now > lastActivity_)
        idle = std::chrono::duration_cast<Micros>(now - lastActivity_);
    clockUsed_ = &c;
    lastActivity_ = now;
    if (idle > Micros(0))
        powerNodes(idle);
}

// Only own nodes can have an operation running: a node in the lane or unplugged has none.
void SimNetwork::powerNodes(Micros d)
{
    // Copy: a node finishing its operation must not disturb the iteration.
    poweredNodes_ = own_;
    for (SimNode* n : poweredNodes_)
        n->elapse(d);
}

void SimNetwork::beginActivity()
{
    endPullup();
    idleElapse();
    poweredNodes_ = own_;
    for (SimNode* n : poweredNodes_)
        n->busActivity();
}

bool SimNetwork::reset()
{
    beginActivity();
    const Micros at = busTime_;
    const bool standard = speed_ != Speed::Overdrive;
    bool presence = false;
    slotNodes_ = own_;
    for (SimNode* n : slotNodes_) {
        if (!n->connected())
            continue;
        // A reset at standard speed also returns overdrive nodes to standard speed.
        if (standard || n->overdrive()) {
            n->busReset(standard);
            presence = true;
        }
    }
    if (standard) {
        // Every node in the lane is connected and at standard speed: all are reset.
        if (!lane_.empty())
            presence = true;
        // A new phase; the levels keep their room.
        std::vector<std::uint8_t> levels = std::move(phase_.levels);
        levels.clear();
        phase_ = LanePhase{};
        phase_.levels = std::move(levels);
        phase_.kind = LanePhase::Command;
        // Nodes that now only wait for a ROM command join the lane; unplugged ones rest.
        std::erase_if(own_, [this](SimNode* n) {
            if (!n->connected() && !n->operationPending()) {
                n->lane_ = SimNode::Lane::Off;
                return true;
            }
            if (!laneEligible(*n))
                return false;
            n->lane_ = SimNode::Lane::Shared;
            lane_.emplace(n->laneKey_, n);
            return true;
        });
    }
    if (faults_.noPresence)
        presence = false;
    busTime_ += timingFor(speed_).resetPresence;
    record({BusEvent::Reset, 0, presence ? 1 : 0, Micros(0), at});
    return presence;
}

int SimNetwork::touchBit(int bit)
{
    beginActivity();
    const Micros at = busTime_;
    const std::uint64_t slot = slots_++;
    int level = bit != 0 ? 1 : 0;
    slotNodes_.clear();
    for (SimNode* n : own_)
        if (partakes(*n))
            slotNodes_.push_back(n);
    const bool lane = laneActive();
    for (SimNode* n : slotNodes_)
        level &= n->drive();
    if (lane)
        level &= laneDrive();
    for (SimNode* n : slotNodes_) {
        n->sample(level);
        n->countSlot();
    }
    if (lane)
        laneSample(level);
    int read = level;
    if (auto it = faults_.flipSlots.find(slot); it != faults_.flipSlots.end()) {
        read ^= 1;
        faults_.flipSlots.erase(it);
    }
    busTime_ += timingFor(speed_).slot;
    if (!inByte_)
        record({BusEvent::Bit, bit != 0 ? 1 : 0, read, Micros(0), at});
    return read;
}

std::uint8_t SimNetwork::touchByte(std::uint8_t byte)
{
    const Micros at = busTime_;
    inByte_ = true;
    int result = 0;
    for (int i = 0; i < 8; ++i)
        result |= touchBit((byte >> i) & 0x01) << i;
    inByte_ = false;
    record({BusEvent::Byte, byte, result, Micros(0), at});
    return static_cast<std::uint8_t>(result);
}

void SimNetwork::setStrongPullup(bool on)
{
    if (!on) {
        endPullup();
        return;
    }
    if (pullupOn_)
        return;
    pullupIdleBefore_ = idleSoFar();
    idleElapse();
    pullupOn_ = true;
    pullupStart_ = lastActivity_;
}

void SimNetwork::endPullup()
{
    if (!pullupOn_)
        return;
    pullupOn_ = false;
    platform::Clock& c = platform::clock();
    const auto now = c.now();
    Micros d{0};
    if (&c == clockUsed_ && now > pullupStart_)
        d = std::chrono::duration_cast<Micros>(now - pullupStart_);
    clockUsed_ = &c;
    lastActivity_ = now;
    record({BusEvent::StrongPullup, 0, 0, d, busTime_, pullupIdleBefore_});
    busTime_ += d;
    powerNodes(d);
}

void SimNetwork::strongPullup(Micros duration)
{
    endPullup();
    const Micros idle = idleSoFar();
    idleElapse();
    if (duration < Micros(0))
        duration = Micros(0);
    record({BusEvent::StrongPullup, 0, 0, duration, busTime_, idle});
    busTime_ += duration;
    powerNodes(duration);
}

bool SimNetwork::programPulse(Micros duration)
{
    endPullup();
    idleElapse();
    bool taken = false;
    // A node waiting for a pulse is one of the own nodes.
    poweredNodes_ = own_;
    for (SimNode* n : poweredNodes_)
        if (partakes(*n) && n->takeProgramPulse())
            taken = true;
    record({BusEvent::ProgramPulse, 0, taken ? 1 : 0, duration, busTime_});
    busTime_ += duration;
    return taken;
}

void SimNetwork::setSpeed(Speed s)
{
    if (s == speed_)
        return;
    speed_ = s;
    record({BusEvent::SpeedChange, static_cast<int>(s), 0, Micros(0), busTime_});
}

void SimNetwork::record(const BusEvent& e)
{
    if (!transcriptOn_)
        return;
    transcript_.push_back(e);
    // Trim in batches so a long run stays cheap.
    if (transcriptLimit_ > 0 && transcript_.size() > transcriptLimit_ + transcriptLimit_ / 4)
        transcript_.erase(transcript_.begin(),
                          transcript_.begin() + static_cast<std::ptrdiff_t>(transcript_.size() - transcriptLimit_));
}

std::string formatEvent(const BusEvent& e)
{
    char buf[96];
    switch (e.kind) {
    case BusEvent::Reset:
        return e.read != 0 ? "reset presence" : "reset no presence";
    case BusEvent::Bit:
        std::snprintf(buf, sizeof buf, "bit %d -> %d", e.written, e.read);
        return buf;
    case BusEvent::Byte:
        std::snprintf(buf, sizeof buf, "byte %02X -> %02X", e.written & 0xFF, e.read & 0xFF);
        return buf;
    case BusEvent::StrongPullup:
        std::snprintf(buf, sizeof buf, "pullup %lld us", static_cast<long long>(e.duration.count()));
        return buf;
    case BusEvent::ProgramPulse:
        std::snprintf(buf, sizeof buf, "program %lld us %s", static_cast<long long>(e.duration.count()),
                      e.read != 0 ? "taken" : "not taken");
        return buf;
    case BusEvent::SpeedChange:
        return e.written == 1 ? "speed overdrive" : e.written == 2 ? "speed relaxed" : "speed standard";
    }
    return "";
}

std::string SimNetwork::transcriptText() const
{
    std::string s;
    for (const auto& e : transcript_) {
        s += formatEvent(e);
        s += '\n';
    }
    return s;
}

SimNode& SimNetwork::addNode(std::shared_ptr<SimNode> node)
{
    if (node->network_ && node->network_ != this)
        node->network_->removeNode(node->rom());
    if (auto it = byRom_.find(node->rom()); it != byRom_.end()) {
        const std::shared_ptr<SimNode> old = it->second;
        detach(*old);
        *std::find(nodes_.begin(), nodes_.end(), old) = node;
    } else {
        nodes_.push_back(node);
    }
    attach(node);
    return *node;
}

std::shared_ptr<SimNode> SimNetwork::removeNode(const RomCode& rom)
{
    auto found = byRom_.find(rom);
    if (found == byRom_.end())
        return nullptr;
    auto node = found->second;
    detach(*node);
    nodes_.erase(std::find(nodes_.begin(), nodes_.end(), node));
    return node;
}

SimNode* SimNetwork::findNode(const RomCode& rom) const
{
    const auto it = byRom_.find(rom);
    return it == byRom_.end() ? nullptr : it->second.get();
}

void SimNetwork::clearNodes() { replaceNodes({}); }

std::optional<int> SimNetwork::takeSessionFault()
{
    if (faults_.failSessionStarts <= 0)
        return std::nullopt;
    --faults_.failSessionStarts;
    return faults_.sessionStartCode;
}

} // namespace platform::sim
