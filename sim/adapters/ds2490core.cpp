#include "sim/adapters/ds2490core.h"

#include "sim/adapters/ds2490codes.h"
#include "sim/onewire/simnode.h"

#include <algorithm>
#include <cstdio>

namespace platform::emu {

using namespace ds2490;

namespace {
bool isReadStraight(const Ds2490Command& c) { return c.op == Ds2490Op::ReadStraight; }
bool icpOf(const Ds2490Command& c) { return (c.value & (isReadStraight(c) ? kRsIcp : kIcp)) != 0; }
bool ntfOf(const Ds2490Command& c) { return (c.value & (isReadStraight(c) ? kRsNtf : kNtf)) != 0; }

std::string hex4(int v)
{
    char text[12];
    std::snprintf(text, sizeof text, "%04Xh", v & 0xFFFF);
    return text;
}
} // namespace

Ds2490Core::Ds2490Core(std::shared_ptr<sim::SimNetwork> network) : bus_(std::move(network)) {}

void Ds2490Core::powerUp(TimePoint now)
{
    // Mode Commands: the power-on defaults (Table 12: pulses and speed change disabled,
    // regular speed, strong pull-up 512 ms, programming pulse 512 us); all endpoint buffers
    // are empty.
    bus_.setTime(now);
    if (bus_.pullupOn())
        bus_.endPullup();
    regs_ = {};
    fifo_.clear();
    ep2_.clear();
    ep3_.clear();
    results_.clear();
    running_.reset();
    lastEnd_ = now;
    lastValue_ = 0;
    started_ = halted_ = haltRequested_ = false;
    pulseFrom_ = pulseUntil_ = now;
    bus_.setSpeed(sim::Speed::Standard);
}

std::size_t Ds2490Core::commandBytes() const
{
    std::size_t n = 0;
    for (const auto& c : fifo_)
        n += static_cast<std::size_t>(c.fifoBytes);
    return n;
}

void Ds2490Core::queue(const Ds2490Command& c) { fifo_.push_back(c); }

void Ds2490Core::send(const std::vector<std::uint8_t>& data, TimePoint now)
{
    for (std::uint8_t b : data)
        ep2_.push_back({b, now});
}

std::size_t Ds2490Core::readyBytes(TimePoint now) const
{
    std::size_t n = 0;
    while (n < ep3_.size() && ep3_[n].at <= now)
        ++n;
    return n;
}

std::vector<std::uint8_t> Ds2490Core::receive(std::size_t n, TimePoint now)
{
    std::vector<std::uint8_t> out;
    while (out.size() < n && !ep3_.empty() && ep3_.front().at <= now) {
        out.push_back(ep3_.front().byte);
        ep3_.pop_front();
    }
    return out;
}

bool Ds2490Core::receiveComing(TimePoint now) const
{
    return readyBytes(now) < ep3_.size() || (running_ && !running_->waitingHalt) || (!fifo_.empty() && !halted_);
}

bool Ds2490Core::sendDraining() const { return running_.has_value() || (!fifo_.empty() && !halted_); }

std::vector<std::uint8_t> Ds2490Core::takeResults(TimePoint now)
{
    // Device Feedback: up to 16 result register values follow the state registers.
    std::vector<std::uint8_t> out;
    while (out.size() < 16 && !results_.empty() && results_.front().at <= now) {
        out.push_back(results_.front().byte);
        results_.pop_front();
    }
    return out;
}

bool Ds2490Core::idle(TimePoint now) const
{
    if (running_ || lastEnd_ > now)
        return false;
    return fifo_.empty() || halted_ || ((fifo_.front().value & kIm) == 0 && !started_);
}

std::uint16_t Ds2490Core::current(TimePoint now) const
{
    // Table 16, 0x09/0x0A: the command being processed, 0 when idle.
    if (running_)
        return running_->cmd.value;
    return lastEnd_ > now ? lastValue_ : 0;
}

bool Ds2490Core::pullupActive(TimePoint now) const
{
    if (running_ && running_->waitingHalt)
        return !running_->programPulse;
    return !pulseProgram_ && pulseFrom_ <= now && now < pulseUntil_;
}

bool Ds2490Core::programActive(TimePoint now) const
{
    if (running_ && running_->waitingHalt)
        return running_->programPulse;
    return pulseProgram_ && pulseFrom_ <= now && now < pulseUntil_;
}

void Ds2490Core::detectArrivals(TimePoint now)
{
    // Device Feedback, Table 18: a 1-Wire device attachment is signalled with the unique
    // detect byte among the result register values.
    std::size_t n = 0;
    for (const auto& node : bus_.network().nodes())
        if (node->connected())
            ++n;
    if (n > connected_)
        result(kDetect, now);
    connected_ = n;
}

void Ds2490Core::halt(TimePoint now)
{
    // Control Commands, HALT EXECUTION WHEN IDLE / WHEN DONE: execution stops after the
    // command in progress; either ends a pulse of infinite duration.
    haltRequested_ = true;
    if (running_ && running_->waitingHalt) {
        endPulse(*running_, now);
        finish(*running_);
    }
    if (!running_)
        halted_ = true;
}

void Ds2490Core::run(TimePoint now)
{
    detectArrivals(now);
    for (;;) {
        if (!running_ && !startNext(now))
            return;
        Running& r = *running_;
        if (r.cursor > now || r.waitingHalt)
            return;
        const Step s = step(r, now);
        if (s == Step::Stall)
            return;
        if (s == Step::Done)
            finish(r);
    }
}

std::size_t Ds2490Core::ep2Needed(const Ds2490Command& c) const
{
    switch (c.op) {
    case Ds2490Op::BlockIo: return c.index;
    case Ds2490Op::ReadStraight: return static_cast<std::size_t>(c.value >> 8);
    case Ds2490Op::MatchAccess:
    case Ds2490Op::SearchAccess: return 8;
    default: return 0;
    }
}

bool Ds2490Core::startNext(TimePoint now)
{
    if (halted_ || fifo_.empty())
        return false;
    const Ds2490Command c = fifo_.front();
    // Appendix 2, IM: IM = 0 holds the command until a START EXECUTION control command.
    if ((c.value & kIm) == 0 && !started_)
        return false;
    const TimePoint start = std::max(lastEnd_, c.queued);
    if (start > now)
        return false;
    fifo_.pop_front();
    if (fifo_.empty())
        started_ = false;
    // Appendix 2, IM: immediate execution assumes all the data the command needs is in
    // EP2 (at most a FIFO full; larger blocks are fed while the command runs).
    const std::size_t need = std::min(ep2Needed(c), kDataFifo);
    std::size_t have = 0;
    while (have < ep2_.size() && ep2_[have].at <= start)
        ++have;
    if (have < need)
        error("DS2490: communication command " + hex4(c.value) + " started with " + std::to_string(have) +
              " of the " + std::to_string(need) + " bytes it needs in EP2");
    Running r;
    r.cmd = c;
    r.cursor = start;
    running_ = r;
    return true;
}

void Ds2490Core::finish(Running& r)
{
    // Appendix 2, ICP / NTF: with ICP = 0 a result register value is generated for an
    // error always and for success when NTF = 1; ICP = 1 suppresses both.
    if (!icpOf(r.cmd)) {
        if (r.result != 0)
            result(r.result, r.cursor);
        else if (ntfOf(r.cmd))
            result(0x00, r.cursor);
    }
    // Appendix 2, F: an error clears the command FIFO and the EP2/EP3 FIFOs.
    if (r.result != 0 && !isReadStraight(r.cmd) && (r.cmd.value & kF) != 0) {
        fifo_.clear();
        ep2_.clear();
        ep3_.clear();
    }
    lastEnd_ = r.cursor;
    lastValue_ = r.cmd.value;
    running_.reset();
    if (haltRequested_)
        halted_ = true;
}

std::optional<std::uint8_t> Ds2490Core::take(Running& r)
{
    if (ep2_.empty())
        return std::nullopt;  // waits for the host to fill EP2
    const Timed t = ep2_.front();
    ep2_.pop_front();
    if (t.at > r.cursor) {
        r.cursor = t.at;
        bus_.setTime(r.cursor);
    }
    return t.byte;
}

void Ds2490Core::result(std::uint8_t b, TimePoint at)
{
    // In the order the values came about.
    auto it = results_.end();
    while (it != results_.begin() && std::prev(it)->at > at)
        --it;
    results_.insert(it, {b, at});
}

void Ds2490Core::push(std::uint8_t b, TimePoint at)
{
    // Communication Commands, BLOCK I/O: the host must read EP3 before the FIFO overflows.
    if (ep3_.size() >= kDataFifo) {
        error("DS2490: EP3 FIFO overflow, a byte read from the 1-Wire bus was lost");
        return;
    }
    ep3_.push_back({b, at});
}

} // namespace platform::emu
