#include "platform/onewire/tmex.h"

#include "platform/base/onewirecrc.h"

#include "platform/onewire/tmexlayer.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Layout of the state buffer.
constexpr std::size_t kCurrentRom = 0;       // 8 bytes: node that TMAccess selects
constexpr std::size_t kSearchRom = 8;        // 8 bytes: last node the search found
constexpr std::size_t kLastDiscrepancy = 16; // bit position 1..64, 0 = none
constexpr std::size_t kFlags = 17;
constexpr std::uint8_t kLastDeviceFlag = 0x01;

constexpr std::uint8_t kSearchRomCommand = 0xF0;
constexpr std::uint8_t kMatchRomCommand = 0x55;

int romBit(const TmexStateBuffer& s, std::size_t base, int bit)
{
    return (s.bytes[base + static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 0x01;
}

void setRomBit(TmexStateBuffer& s, std::size_t base, int bit, int value)
{
    auto& b = s.bytes[base + static_cast<std::size_t>(bit / 8)];
    const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
    b = static_cast<std::uint8_t>(value != 0 ? (b | mask) : (b & ~mask));
}

void restartSearch(TmexStateBuffer& s)
{
    s.bytes[kLastDiscrepancy] = 0;
    s.bytes[kFlags] = static_cast<std::uint8_t>(s.bytes[kFlags] & ~kLastDeviceFlag);
}

// What an exchange that failed with code leaves: a shorted bus keeps the session (the
// adapter works), any other failure ends it.
int fault(std::int32_t handle, int code)
{
    if (code == TMEX_BUS_SHORT)
        return noteShort(handle);
    if (code == TMEX_NO_PRESENCE)
        return code;
    return failSession(handle, code);
}

// Runs the held steps, then extra (if any): 0, or a code (TMEX_NO_PRESENCE when a reset
// saw no presence pulse).
int run(std::int32_t handle, TmexSession& s, std::vector<BusStep>* extra = nullptr)
{
    std::vector<BusStep> steps = std::move(s.pending);
    s.pending.clear();
    s.pendingSends = false;
    std::size_t at = steps.size();
    if (extra)
        for (auto& e : *extra)
            steps.push_back(std::move(e));
    if (steps.empty())
        return 0;
    const int r = s.backend->sequence(steps);
    if (extra)
        for (std::size_t i = 0; i < extra->size(); ++i)
            (*extra)[i] = std::move(steps[at + i]);
    if (r == 0)
        return 0;
    return fault(handle, r == 1 ? TMEX_NO_PRESENCE : r);
}

// Sends what the session holds back: 0 or a code.
int flush(std::int32_t handle, TmexSession& s) { return s.pending.empty() ? 0 : run(handle, s); }

BusStep resetStep() { return BusStep{BusStep::Kind::Reset, {}, false}; }

BusStep matchStep(const TmexStateBuffer& st)
{
    BusStep m{BusStep::Kind::Bytes, std::vector<std::uint8_t>(9), false};
    m.data[0] = kMatchRomCommand;
    std::copy_n(st.bytes.begin() + kCurrentRom, 8, m.data.begin() + 1);
    return m;
}

// Reset and Match ROM of the current ROM, held back when the adapter pipelines: 1 when
// a presence pulse was seen (or the steps are held), 0 without one, negative when the
// adapter or the bus failed.
int matchAccess(std::int32_t handle, TmexSession& s, const TmexStateBuffer& st)
{
    if (s.backend->pipelines()) {
        s.pending.push_back(resetStep());
        s.pending.push_back(matchStep(st));
        return 1;
    }
    std::vector<BusStep> steps{resetStep(), matchStep(st)};
    const int r = run(handle, s, &steps);
    return r == TMEX_NO_PRESENCE ? 0 : r == 0 ? 1 : r;
}

// Reset, then a search that follows the current ROM: 1 when that node answered at
// every bit. Then reset and Match ROM. 0 when the node is not there; negative when the
// adapter or the bus failed.
int strongAccess(std::int32_t handle, TmexSession& s, const TmexStateBuffer& st)
{
    if (const int r = flush(handle, s); r != 0)
        return r == TMEX_NO_PRESENCE ? 0 : r;
    std::array<std::uint8_t, 8> want{};
    std::array<std::uint8_t, 8> rom{};
    std::array<std::uint8_t, 8> discrepancies{};
    std::copy_n(st.bytes.begin() + kCurrentRom, 8, want.begin());
    const int r = s.backend->searchPass(kSearchRomCommand, want, rom, discrepancies);
    if (r < 0)
        return fault(handle, r);
    if (r != 0 || rom != want)
        return 0;
    return matchAccess(handle, s, st);
}

// An exchange of bytes in place (after what the session holds back): 0 or a code.
int exchangeBytes(std::int32_t handle, TmexSession& s, std::uint8_t* data, std::size_t n)
{
    std::vector<BusStep> steps{BusStep{BusStep::Kind::Bytes, std::vector<std::uint8_t>(data, data + n), s.pullupPrimed}};
    s.pullupPrimed = false;
    const int r = run(handle, s, &steps);
    if (r == 0)
        std::copy(steps[0].data.begin(), steps[0].data.end(), data);
    return r;
}

void fill(TmexVersionBuffer& buffer, const std::string& text)
{
    buffer.fill('\0');
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), n);
}

} // namespace

std::int32_t TMExtendedStartSession(std::int16_t portNum, std::int16_t portType, int)
{
    auto backend = backendFor(portType, portNum);
    if (!backend)
        return TMEX_HS_NOT_FOUND;
    const int code = backend->openSession();
    auto& l = tmexLayer();
    const PortKey key{portType, portNum};
    if (code != 1) {
        l.errors[key] = backend->lastError();
        return code < 0 ? code : 0;
    }
    l.errors.erase(key);
    if (auto it = l.open.find(key); it != l.open.end()) {
        // A session never ended is superseded.
        it->second.backend->closeSession();
        l.open.erase(it);
    }
    if (l.lastHandle >= 0x7FFFFFF0)
        l.lastHandle = 0;
    const std::int32_t handle = ++l.lastHandle;
    TmexSession fresh;
    fresh.handle = handle;
    fresh.backend = std::move(backend);
    l.open[key] = std::move(fresh);
    return handle;
}

std::int16_t TMSetup(std::int32_t session)
{
    auto* s = findSession(session);
    if (!s)
        return 0;
    return s->backend->setup() ? 1 : 0;
}

std::int16_t TMNext(std::int32_t session, TmexStateBuffer& state)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    OneWireBackend& b = *s->backend;
    if (const int r = flush(session, *s); r < 0 && r != TMEX_NO_PRESENCE)
        return static_cast<std::int16_t>(r);
    if ((state.bytes[kFlags] & kLastDeviceFlag) != 0) {
        restartSearch(state);
        return 0;
    }
    const int lastDiscrepancy = state.bytes[kLastDiscrepancy];
    // Directions at a discrepancy: the last node's below the last discrepancy, 1 at it, 0 past it.
    std::array<std::uint8_t, 8> preferred{};
    for (int position = 1; position < lastDiscrepancy && position <= 64; ++position)
        if (romBit(state, kSearchRom, position - 1) != 0)
            preferred[static_cast<std::size_t>((position - 1) / 8)] |= static_cast<std::uint8_t>(1u << ((position - 1) % 8));
    if (lastDiscrepancy >= 1 && lastDiscrepancy <= 64)
        preferred[static_cast<std::size_t>((lastDiscrepancy - 1) / 8)] |=
            static_cast<std::uint8_t>(1u << ((lastDiscrepancy - 1) % 8));
    std::array<std::uint8_t, 8> rom{};
    std::array<std::uint8_t, 8> discrepancies{};
    const int r = b.searchPass(kSearchRomCommand, preferred, rom, discrepancies);
    if (r < 0) {
        restartSearch(state);
        return static_cast<std::int16_t>(fault(session, r));
    }
    if (r != 0) {
        restartSearch(state);
        return 0;
    }
    TmexStateBuffer work = state;
    int lastZero = 0;
    for (int position = 1; position <= 64; ++position) {
        const int direction = (rom[static_cast<std::size_t>((position - 1) / 8)] >> ((position - 1) % 8)) & 0x01;
        const bool discrepancy = ((discrepancies[static_cast<std::size_t>((position - 1) / 8)] >> ((position - 1) % 8)) & 0x01) != 0;
        if (discrepancy && direction == 0)
            lastZero = position;
        setRomBit(work, kSearchRom, position - 1, direction);
    }
    if (crc8(&work.bytes[kSearchRom], 7) != work.bytes[kSearchRom + 7]) {
        restartSearch(state);
        return 0;
    }
    for (std::size_t i = 0; i < 8; ++i) {
        state.bytes[kSearchRom + i] = work.bytes[kSearchRom + i];
        state.bytes[kCurrentRom + i] = work.bytes[kSearchRom + i];
    }
    state.bytes[kLastDiscrepancy] = static_cast<std::uint8_t>(lastZero);
    if (lastZero == 0)
        state.bytes[kFlags] = static_cast<std::uint8_t>(state.bytes[kFlags] | kLastDeviceFlag);
    return 1;
}

std::int16_t TMRom(std::int32_t session, TmexStateBuffer& state, TmexRom& rom)
{
    if (!findSession(session))
        return TMEX_INVALID_SESSION;
    if (rom[0] == 0) {
        for (std::size_t i = 0; i < 8; ++i)
            rom[i] = state.bytes[kCurrentRom + i];
    } else {
        for (std::size_t i = 0; i < 8; ++i)
            state.bytes[kCurrentRom + i] = static_cast<std::uint8_t>(rom[i] & 0xFF);
    }
    return 1;
}

std::int16_t TMAccess(std::int32_t session, TmexStateBuffer& state)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    return static_cast<std::int16_t>(strongAccess(session, *s, state));
}

std::int16_t TMMatchAccess(std::int32_t session, TmexStateBuffer& state)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    return static_cast<std::int16_t>(matchAccess(session, *s, state));
}

std::int16_t TMValidSession(std::int32_t session) { return findSession(session) ? 1 : 0; }

namespace {

// Sends what a session still holds back before it ends, so the bus sees what the job
// asked for.
void sendHeld(std::int32_t session)
{
    if (auto* s = findSession(session))
        flush(session, *s);
}

} // namespace

std::int16_t TMEndSession(std::int32_t session)
{
    sendHeld(session);
    auto& l = tmexLayer();
    for (auto it = l.open.begin(); it != l.open.end(); ++it) {
        if (it->second.handle == session) {
            it->second.backend->closeSession();
            l.open.erase(it);
            return 1;
        }
    }
    return 0;
}

std::int16_t TMClose(std::int32_t session)
{
    sendHeld(session);
    auto& l = tmexLayer();
    for (auto it = l.open.begin(); it != l.open.end(); ++it) {
        if (it->second.handle == session) {
            auto backend = it->second.backend;
            l.open.erase(it);
            backend->closeSession();
            backend->releasePort();
            return 1;
        }
    }
    return 0;
}

std::int16_t TMOneWireCom(std::int32_t session, std::int16_t operation, std::int16_t speed)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (operation == 0) {
        if (speed < TMEX_SPEED_NORMAL || speed > TMEX_SPEED_RELAXED)
            return TMEX_NO_SUCH_FUNCTION;
        if (const int r = flush(session, *s); r < 0 && r != TMEX_NO_PRESENCE)
            return static_cast<std::int16_t>(r);
        s->backend->setSpeed(speed);
    } else if (operation != 1) {
        return TMEX_NO_SUCH_FUNCTION;
    }
    return static_cast<std::int16_t>(s->backend->speed());
}

std::int16_t TMTouchByte(std::int32_t session, std::int16_t byte)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    std::uint8_t b = static_cast<std::uint8_t>(byte & 0xFF);
    if (const int r = exchangeBytes(session, *s, &b, 1); r != 0)
        return static_cast<std::int16_t>(r);
    return b;
}

std::int16_t TMBlockStream(std::int32_t session, std::uint8_t* buffer, std::int16_t len)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (len < 0 || (len > 0 && buffer == nullptr))
        return TMEX_NO_SUCH_FUNCTION;
    if (len == 0 && s->pending.empty()) {
        s->pullupPrimed = false;
        return 0;
    }
    if (const int r = exchangeBytes(session, *s, buffer, static_cast<std::size_t>(len)); r != 0)
        return static_cast<std::int16_t>(r);
    return len;
}

std::int16_t TMBlockSend(std::int32_t session, const std::uint8_t* buffer, std::int16_t len)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (len < 0 || (len > 0 && buffer == nullptr))
        return TMEX_NO_SUCH_FUNCTION;
    if (len == 0)
        return 0;
    if (s->backend->pipelines() && !s->pullupPrimed) {
        s->pending.push_back(BusStep{BusStep::Kind::Bytes, std::vector<std::uint8_t>(buffer, buffer + len), false});
        s->pendingSends = true;
        return len;
    }
    std::vector<std::uint8_t> copy(buffer, buffer + len);
    if (const int r = exchangeBytes(session, *s, copy.data(), copy.size()); r != 0)
        return static_cast<std::int16_t>(r);
    return len;
}

std::int16_t TMSetPullupTime(std::int32_t session, std::int16_t ms)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    s->backend->pullupHint(Micros(1000LL * std::max<std::int16_t>(ms, 0)));
    return 1;
}

std::int16_t TMTouchBit(std::int32_t session, std::int16_t bit)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (const int f = flush(session, *s); f != 0)
        return static_cast<std::int16_t>(f);
    const BusResult r = s->backend->bit(bit != 0 ? 1 : 0);
    if (!r.ok())
        return static_cast<std::int16_t>(fault(session, r.error));
    return static_cast<std::int16_t>(r.value != 0 ? 1 : 0);
}

std::int16_t TMOneWireLevel(std::int32_t session, std::int16_t operation, std::int16_t level, std::int16_t primed)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (operation == 1)
        return s->backend->strongPullup() ? 1 : 0;
    if (operation != 0 || level < 0 || level > 1)
        return TMEX_NO_SUCH_FUNCTION;
    if (primed == TMEX_PRIME_AFTER_BYTE && level == 1) {
        s->pullupPrimed = true;
        return s->backend->strongPullup() ? 1 : 0;
    }
    if (primed != 0)
        return TMEX_NO_SUCH_FUNCTION;
    s->pullupPrimed = false;
    if (const int f = flush(session, *s); f < 0 && f != TMEX_NO_PRESENCE)
        return static_cast<std::int16_t>(f);
    // The level the adapter confirms, not the one asked for.
    const int r = s->backend->pullupLevel(level == 1);
    if (r < 0)
        return static_cast<std::int16_t>(fault(session, r));
    return static_cast<std::int16_t>(r);
}

std::int16_t TMProgramByte(std::int32_t session, TmexStateBuffer& state, std::int16_t value, std::int16_t address,
                           std::int16_t memoryType, std::int16_t& bits, std::int16_t zeros)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (memoryType != 0 && memoryType != 1)
        return TMEX_NO_SUCH_FUNCTION;
    OneWireBackend& b = *s->backend;
    if (!b.canProgram()) {
        // Refused before any traffic: no pulse is ever reported as given.
        return static_cast<std::int16_t>(failSession(
            session, TMEX_NO_SUCH_FUNCTION, "cannot program: " + b.description() + " gives no 12 V programming pulse"));
    }
    if (const int r = strongAccess(session, *s, state); r != 1)
        return static_cast<std::int16_t>(r < 0 ? r : 0);
    // The held access goes out now: the pulse needs the node addressed first.
    if (const int r = flush(session, *s); r != 0)
        return static_cast<std::int16_t>(r == TMEX_NO_PRESENCE ? 0 : r);
    const std::uint8_t command[4] = {static_cast<std::uint8_t>(memoryType == 0 ? 0x0F : 0x55),
                                     static_cast<std::uint8_t>(address & 0xFF),
                                     static_cast<std::uint8_t>((address >> 8) & 0xFF),
                                     static_cast<std::uint8_t>(value & 0xFF)};
    std::uint8_t exchange[6] = {command[0], command[1], command[2], command[3], 0xFF, 0xFF};
    if (const int r = b.block(exchange, sizeof exchange); r != 0)
        return static_cast<std::int16_t>(fault(session, r));
    const int lo = exchange[4];
    const int hi = exchange[5];
    const auto echo = static_cast<std::uint16_t>(~((hi << 8) | lo) & 0xFFFF);
    if (echo != crc16(command, 4))
        return 2;
    if (!b.programPulse())
        return 3;
    const BusResult back = b.byte(0xFF);
    if (!back.ok())
        return static_cast<std::int16_t>(fault(session, back.error));
    const int readBack = back.value & 0xFF;
    const int wanted = value & 0xFF;
    // zeros: only the bits to be cleared count; other bits may already be 0.
    const int wrong = zeros != 0 ? (readBack & ~wanted & 0xFF) : (readBack ^ wanted);
    int left = 0;
    for (int k = 0; k < 8; ++k)
        left += (wrong >> k) & 0x01;
    bits = static_cast<std::int16_t>(left);
    return left == 0 ? 1 : 3;
}

std::int16_t Get_Version(TmexVersionBuffer& buffer)
{
    fill(buffer, "Tedsmith 1-Wire layer 1.0");
    return 1;
}

std::int16_t TMGetTypeVersion(std::int16_t portType, TmexVersionBuffer& buffer)
{
    buffer.fill('\0');
    auto backend = backendForType(portType);
    if (!backend)
        return TMEX_HS_NOT_FOUND;
    fill(buffer, backend->typeVersion(portType));
    return 1;
}

std::string versionText(const TmexVersionBuffer& buffer)
{
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    return std::string(buffer.begin(), end);
}

} // namespace platform
