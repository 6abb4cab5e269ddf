// Ds2490Core: the communication commands, each run one 1-Wire step at a time in the
// chip's time (DS2490 datasheet, Communication Command Set and Appendix 2).

#include "sim/adapters/ds2490core.h"

#include "sim/adapters/ds2490codes.h"

#include <algorithm>
#include <bit>

namespace platform::emu {

using namespace ds2490;

namespace {
bool isReadStraight(const Ds2490Command& c) { return c.op == Ds2490Op::ReadStraight; }
bool rstOf(const Ds2490Command& c) { return (c.value & (isReadStraight(c) ? kRsRst : kRst)) != 0; }

sim::Speed speedOf(int code)
{
    // Table 6: 0 regular, 1 flexible, 2 overdrive.
    return code == 2 ? sim::Speed::Overdrive : code == 1 ? sim::Speed::Relaxed : sim::Speed::Standard;
}

// Table 7: strong pull-up in multiples of 16 ms; Table 8: programming pulse in multiples of 8 us.
Micros pullupLength(int code) { return Micros(16'000LL * code); }
Micros programLength(int code) { return Micros(8LL * code); }
} // namespace

std::uint8_t Ds2490Core::resetBits(EmuBus::ResetResult rr) const
{
    switch (rr) {
    case EmuBus::ResetResult::Short: return kSh;
    case EmuBus::ResetResult::NoPresence: return kNrs;
    default: return 0;
    }
}

bool Ds2490Core::changeSpeed(int code)
{
    // Mode Commands, ENABLE SPEED CHANGE: a communication command changes the speed only
    // while speed changes are enabled; a change asked for while disabled does not happen.
    if ((regs_.enable & kEnableSpce) == 0) {
        if (code != regs_.speed)
            error("DS2490: SE asks for speed " + std::to_string(code) + " while dynamic speed change is disabled "
                  "(ENABLE SPEED CHANGE): the speed stays " + std::to_string(regs_.speed));
        return false;
    }
    regs_.speed = code;
    bus_.setSpeed(speedOf(code));
    return true;
}

bool Ds2490Core::pullupAfter(Running& r, bool requested)
{
    // Appendix 2, SPU: a strong pull-up of the STRONG PULLUP DURATION follows the last bit,
    // if the strong pull-up is enabled (ENABLE PULSE); duration 0 lasts until a HALT.
    if (!requested)
        return false;
    if ((regs_.enable & kEnableSpue) == 0) {
        error("DS2490: strong pull-up asked for (SPU or PULSE) while it is not enabled (ENABLE PULSE)");
        return false;
    }
    pulseProgram_ = false;
    pulseFrom_ = r.cursor;
    bus_.setTime(r.cursor);
    if (regs_.pullup == 0) {
        bus_.startPullup();
        r.waitingHalt = true;
        r.programPulse = false;
        r.pulseStart = r.cursor;
        pulseUntil_ = TimePoint::max();
        return true;
    }
    const Micros len = pullupLength(regs_.pullup);
    bus_.pullup(len);
    r.cursor += len;
    pulseUntil_ = r.cursor;
    return false;
}

void Ds2490Core::endPulse(Running& r, TimePoint at)
{
    at = std::max(at, r.pulseStart);
    bus_.setTime(at);
    if (!r.programPulse)
        bus_.endPullup();
    else if (vpp_)
        bus_.programPulse(std::chrono::duration_cast<Micros>(at - r.pulseStart));
    r.waitingHalt = false;
    r.cursor = std::max(r.cursor, at);
    pulseUntil_ = r.cursor;
}

Ds2490Core::Step Ds2490Core::step(Running& r, TimePoint)
{
    bus_.setTime(r.cursor);
    bus_.setSpeed(speedOf(regs_.speed));
    const Ds2490Command& c = r.cmd;
    Micros took{0};
    switch (c.op) {
    case Ds2490Op::SetDuration:
        // SET DURATION: TYPE 0 the strong pull-up, TYPE 1 the programming pulse register.
        ((c.value & kBit3) != 0 ? regs_.program : regs_.pullup) = c.index & 0xFF;
        return Step::Done;
    case Ds2490Op::BitIo: {
        // BIT I/O: one slot writing D; the bit read goes to EP3 only when ICP = 0 (Table 14:
        // 0 or 1); CIB = 1 keeps the strong pull-up off when the bit read back is 1.
        const int read = bus_.bit((c.value & kBit3) != 0 ? 1 : 0, took);
        r.cursor += took;
        if ((c.value & kIcp) == 0)
            push(static_cast<std::uint8_t>(read), r.cursor);
        const bool pullup = (c.value & kSpu) != 0 && ((c.value & kBit14) == 0 || read == 0);
        return pullupAfter(r, pullup) ? Step::Stall : Step::Done;
    }
    case Ds2490Op::ByteIo: {
        // BYTE I/O: the byte of the parameter; the byte read to EP3 only when ICP = 0.
        const std::uint8_t read = bus_.byte(static_cast<std::uint8_t>(c.index & 0xFF), took);
        r.cursor += took;
        if ((c.value & kIcp) == 0)
            push(read, r.cursor);
        return pullupAfter(r, (c.value & kSpu) != 0) ? Step::Stall : Step::Done;
    }
    case Ds2490Op::Reset: {
        // 1-WIRE RESET: SE = 1 switches to the speed of the parameter first; PST = 1 repeats
        // the reset until a presence pulse; the result codes SH, NRS.
        if (r.phase == 0 && (c.value & kBit3) != 0)
            changeSpeed(c.index & 0xFF);
        r.phase = 1;
        const EmuBus::ResetResult rr = bus_.reset(took);
        r.cursor += took;
        r.result = resetBits(rr);
        if ((c.value & kBit14) != 0 && rr == EmuBus::ResetResult::NoPresence)
            return Step::Progress;
        return Step::Done;
    }
    case Ds2490Op::Pulse: return stepPulse(r);
    case Ds2490Op::MatchAccess: return stepMatch(r);
    case Ds2490Op::BlockIo: return stepBlock(r);
    case Ds2490Op::ReadStraight: return stepReadStraight(r);
    case Ds2490Op::SearchAccess: return stepSearch(r);
    default: return Step::Done;
    }
}

Ds2490Core::Step Ds2490Core::stepPulse(Running& r)
{
    // PULSE: TYPE 0 the strong pull-up to 5 V, TYPE 1 the 12 V programming pulse, each of
    // its duration register and only when enabled (ENABLE PULSE); 12 V needs the supply.
    const bool program = (r.cmd.value & kBit3) != 0;
    if (!program)
        return pullupAfter(r, true) ? Step::Stall : Step::Done;
    if ((regs_.enable & kEnablePrge) == 0) {
        error("DS2490: PULSE for the programming pulse while it is not enabled (ENABLE PULSE)");
        return Step::Done;
    }
    if (!vpp_) {
        r.result |= kVpp;
        return Step::Done;
    }
    pulseProgram_ = true;
    pulseFrom_ = r.cursor;
    if (regs_.program == 0) {
        r.waitingHalt = true;
        r.programPulse = true;
        r.pulseStart = r.cursor;
        pulseUntil_ = TimePoint::max();
        return Step::Stall;
    }
    const Micros len = programLength(regs_.program);
    bus_.setTime(r.cursor);
    bus_.programPulse(len);
    r.cursor += len;
    pulseUntil_ = r.cursor;
    return Step::Done;
}

Ds2490Core::Step Ds2490Core::stepMatch(Running& r)
{
    // MATCH ACCESS: optional reset (RST), the match command of the parameter and the 8-byte
    // ROM id from EP2; SE = 1 then changes to the speed in the parameter's second byte.
    if (ep2_.size() < 8)
        return Step::Stall;
    Micros took{0};
    if (rstOf(r.cmd)) {
        bus_.reset(took);
        r.cursor += took;
    }
    bus_.byte(static_cast<std::uint8_t>(r.cmd.index & 0xFF), took);
    r.cursor += took;
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t b = *take(r);
        bus_.byte(b, took);
        r.cursor += took;
    }
    if ((r.cmd.value & kBit3) != 0)
        changeSpeed(r.cmd.index >> 8);
    return Step::Done;
}

Ds2490Core::Step Ds2490Core::stepBlock(Running& r)
{
    // BLOCK I/O: optional reset (RST), then each EP2 byte written and the byte read back
    // to EP3, the strong pull-up (SPU) after the last one.
    Micros took{0};
    if (r.phase == 0) {
        if (rstOf(r.cmd)) {
            bus_.reset(took);
            r.cursor += took;
        }
        r.phase = 1;
        return Step::Progress;
    }
    if (r.done < r.cmd.index) {
        const auto b = take(r);
        if (!b)
            return Step::Stall;
        const std::uint8_t read = bus_.byte(*b, took);
        r.cursor += took;
        push(read, r.cursor);
        ++r.done;
        if (r.done < r.cmd.index)
            return Step::Progress;
    }
    return pullupAfter(r, (r.cmd.value & kSpu) != 0 && r.cmd.index > 0) ? Step::Stall : Step::Done;
}

Ds2490Core::Step Ds2490Core::stepReadStraight(Running& r)
{
    // READ STRAIGHT: optional reset (RST), the preamble from EP2, then the block read.
    Micros took{0};
    const std::size_t preamble = r.cmd.value >> 8;
    if (r.phase == 0) {
        if (rstOf(r.cmd)) {
            bus_.reset(took);
            r.cursor += took;
        }
        r.phase = 1;
        return Step::Progress;
    }
    if (r.done < preamble) {
        const auto b = take(r);
        if (!b)
            return Step::Stall;
        bus_.byte(*b, took);
        r.cursor += took;
        ++r.done;
        return Step::Progress;
    }
    if (r.done < preamble + r.cmd.index) {
        const std::uint8_t read = bus_.byte(0xFF, took);
        r.cursor += took;
        push(read, r.cursor);
        ++r.done;
        return Step::Progress;
    }
    return Step::Done;
}

Ds2490Core::Step Ds2490Core::stepSearch(Running& r)
{
    // SEARCH ACCESS: the EP2 ROM id is the direction to take at each discrepancy; RST
    // resets before the first Search ROM (without it only nodes already waiting for a ROM
    // command take part), every further pass begins with a reset. SM = 1 loads each ROM id
    // found into EP3 (8 bytes) and searches on for the number of devices of the parameter
    // (0: all); when that number is reached and more devices remain, RTS = 1 appends 8
    // bytes of discrepancy information (the discrepancy flags of the last pass). SM = 0
    // stops at the first device, which is left selected. Results: NRS, SH, EOS.
    Micros took{0};
    if (r.phase == 0) {
        if (ep2_.size() < 8)
            return Step::Stall;
        r.path = 0;
        for (int i = 0; i < 8; ++i)
            r.path |= static_cast<std::uint64_t>(*take(r)) << (8 * i);
        r.phase = 1;
        if (rstOf(r.cmd)) {
            const EmuBus::ResetResult rr = bus_.reset(took);
            r.cursor += took;
            if (rr != EmuBus::ResetResult::Presence) {
                r.result |= resetBits(rr);
                return Step::Done;
            }
        }
        return Step::Progress;
    }
    if (r.found > 0) {
        const EmuBus::ResetResult rr = bus_.reset(took);
        r.cursor += took;
        if (rr != EmuBus::ResetResult::Presence) {
            r.result |= resetBits(rr);
            return Step::Done;
        }
    }
    bus_.byte(static_cast<std::uint8_t>(r.cmd.index & 0xFF), took);
    r.cursor += took;
    std::uint64_t rom = 0;
    std::uint64_t discrepancies = 0;
    for (int i = 0; i < 64; ++i) {
        const int bit = bus_.bit(1, took);
        r.cursor += took;
        const int complement = bus_.bit(1, took);
        r.cursor += took;
        if (bit == 1 && complement == 1) {
            r.result |= kEos;  // no device answered
            return Step::Done;
        }
        int direction = bit;
        if (bit == complement) {
            discrepancies |= 1ULL << i;
            direction = static_cast<int>((r.path >> i) & 1);
        }
        bus_.bit(direction, took);
        r.cursor += took;
        rom |= static_cast<std::uint64_t>(direction) << i;
    }
    if ((r.cmd.value & kBit3) == 0)
        return Step::Done;
    for (int i = 0; i < 8; ++i)
        push(static_cast<std::uint8_t>(rom >> (8 * i)), r.cursor);
    ++r.found;
    const int limit = r.cmd.index >> 8;
    const std::uint64_t open = discrepancies & ~rom;  // discrepancies where 0 was taken
    if (open == 0) {
        if (limit > 0 && r.found < limit)
            r.result |= kEos;
        return Step::Done;
    }
    if (limit > 0 && r.found >= limit) {
        if ((r.cmd.value & kBit14) != 0)
            for (int i = 0; i < 8; ++i)
                push(static_cast<std::uint8_t>(discrepancies >> (8 * i)), r.cursor);
        return Step::Done;
    }
    const int p = 63 - std::countl_zero(open);
    r.path = (rom & ((1ULL << p) - 1)) | (1ULL << p);
    return Step::Progress;
}

} // namespace platform::emu
