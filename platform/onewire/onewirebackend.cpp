// The whole-exchange calls of a backend, built from its single reset, bit and byte calls.
#include "platform/onewire/tmex.h"

namespace platform {

ResetOutcome OneWireBackend::resetPulse() { return reset() ? ResetOutcome::Presence : ResetOutcome::NoPresence; }

BusResult OneWireBackend::bit(int b) { return {touchBit(b != 0 ? 1 : 0) != 0 ? 1 : 0, 0}; }

BusResult OneWireBackend::byte(int b) { return {touchByte(b & 0xFF) & 0xFF, 0}; }

BusResult OneWireBackend::byteThenPullup(int b)
{
    const BusResult r = byte(b);
    if (r.ok())
        setStrongPullup(true);
    return r;
}

int OneWireBackend::block(std::uint8_t* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const BusResult r = byte(data[i]);
        if (!r.ok())
            return r.error;
        data[i] = static_cast<std::uint8_t>(r.value);
    }
    return 0;
}

int OneWireBackend::sequence(std::vector<BusStep>& steps)
{
    for (BusStep& step : steps) {
        if (step.kind == BusStep::Kind::Reset) {
            if (const int code = resetFailureCode(resetPulse()); code != 0)
                return code;
            continue;
        }
        auto& d = step.data;
        if (d.empty())
            continue;
        if (!step.pullupAfter) {
            if (const int r = block(d.data(), d.size()); r != 0)
                return r;
            continue;
        }
        if (d.size() > 1)
            if (const int r = block(d.data(), d.size() - 1); r != 0)
                return r;
        const BusResult last = byteThenPullup(d.back());
        if (!last.ok())
            return last.error;
        d.back() = static_cast<std::uint8_t>(last.value);
    }
    return 0;
}

int OneWireBackend::pullupLevel(bool on)
{
    setStrongPullup(on);
    return strongPullup() ? 1 : 0;
}

Triplet OneWireBackend::searchTriplet(int preferred)
{
    Triplet t;
    const BusResult id = bit(1);
    const BusResult complement = id.ok() ? bit(1) : id;
    if (!complement.ok()) {
        t.error = complement.error;
        return t;
    }
    t.id = id.value;
    t.complement = complement.value;
    t.direction = t.id != t.complement ? t.id : (t.id == 0 ? (preferred != 0 ? 1 : 0) : 1);
    const BusResult sent = bit(t.direction);
    t.error = sent.error;
    return t;
}

int OneWireBackend::searchPass(int command, const std::array<std::uint8_t, 8>& preferred,
                               std::array<std::uint8_t, 8>& rom, std::array<std::uint8_t, 8>& discrepancies)
{
    rom.fill(0);
    discrepancies.fill(0);
    if (const int code = resetFailureCode(resetPulse()); code != 0)
        return code;
    if (const BusResult c = byte(command); !c.ok())
        return c.error;
    for (int pos = 0; pos < 64; ++pos) {
        const auto byteIndex = static_cast<std::size_t>(pos / 8);
        const auto mask = static_cast<std::uint8_t>(1u << (pos % 8));
        const Triplet t = searchTriplet((preferred[byteIndex] & mask) != 0 ? 1 : 0);
        if (t.error != 0)
            return t.error;
        if (t.id != 0 && t.complement != 0)
            return 1;  // no node left in the search
        if (t.id == t.complement)
            discrepancies[byteIndex] = static_cast<std::uint8_t>(discrepancies[byteIndex] | mask);
        if (t.direction != 0)
            rom[byteIndex] = static_cast<std::uint8_t>(rom[byteIndex] | mask);
    }
    return 0;
}

} // namespace platform
