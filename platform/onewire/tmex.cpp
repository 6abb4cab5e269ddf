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

// Reset and Match ROM; true when a presence pulse was seen.
bool matchAccess(OneWireBackend& b, const TmexStateBuffer& s)
{
    if (!b.reset())
        return false;
    b.touchByte(kMatchRomCommand);
    for (std::size_t i = 0; i < 8; ++i)
        b.touchByte(s.bytes[kCurrentRom + i]);
    return true;
}

// Reset, then a search that follows the current ROM bit by bit: true when that node
// answered at every bit. Then reset and Match ROM.
bool strongAccess(OneWireBackend& b, const TmexStateBuffer& s)
{
    if (!b.reset())
        return false;
    b.touchByte(kSearchRomCommand);
    for (int bit = 0; bit < 64; ++bit) {
        const int id = b.touchBit(1);
        const int complement = b.touchBit(1);
        const int want = romBit(s, kCurrentRom, bit);
        // id is the AND of all bits still in the search, complement the AND of their inverses.
        if (want != 0 ? complement != 0 : id != 0)
            return false;
        b.touchBit(want);
    }
    return matchAccess(b, s);
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
    if (code != 1)
        return code < 0 ? code : 0;
    auto& l = tmexLayer();
    const PortKey key{portType, portNum};
    if (auto it = l.open.find(key); it != l.open.end()) {
        // A session never ended is superseded.
        it->second.backend->closeSession();
        l.open.erase(it);
    }
    if (l.lastHandle >= 0x7FFFFFF0)
        l.lastHandle = 0;
    const std::int32_t handle = ++l.lastHandle;
    l.open[key] = TmexSession{handle, std::move(backend)};
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
    if ((state.bytes[kFlags] & kLastDeviceFlag) != 0 || !b.reset()) {
        restartSearch(state);
        return 0;
    }
    b.touchByte(kSearchRomCommand);
    const int lastDiscrepancy = state.bytes[kLastDiscrepancy];
    int lastZero = 0;
    TmexStateBuffer work = state;
    for (int position = 1; position <= 64; ++position) {
        const int id = b.touchBit(1);
        const int complement = b.touchBit(1);
        if (id != 0 && complement != 0) {
            restartSearch(state);
            return 0;
        }
        int direction = 0;
        if (id != complement) {
            direction = id;
        } else {
            if (position < lastDiscrepancy)
                direction = romBit(state, kSearchRom, position - 1);
            else
                direction = position == lastDiscrepancy ? 1 : 0;
            if (direction == 0)
                lastZero = position;
        }
        setRomBit(work, kSearchRom, position - 1, direction);
        b.touchBit(direction);
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
    return strongAccess(*s->backend, state) ? 1 : 0;
}

std::int16_t TMMatchAccess(std::int32_t session, TmexStateBuffer& state)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    return matchAccess(*s->backend, state) ? 1 : 0;
}

std::int16_t TMValidSession(std::int32_t session) { return findSession(session) ? 1 : 0; }

std::int16_t TMEndSession(std::int32_t session)
{
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
    return static_cast<std::int16_t>(s->backend->touchByte(byte & 0xFF) & 0xFF);
}

std::int16_t TMTouchBit(std::int32_t session, std::int16_t bit)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    return static_cast<std::int16_t>(s->backend->touchBit(bit != 0 ? 1 : 0) != 0 ? 1 : 0);
}

std::int16_t TMOneWireLevel(std::int32_t session, std::int16_t operation, std::int16_t level, std::int16_t primed)
{
    auto* s = findSession(session);
    if (!s)
        return TMEX_INVALID_SESSION;
    if (operation == 1)
        return s->backend->strongPullup() ? 1 : 0;
    if (operation != 0 || primed != 0 || level < 0 || level > 1)
        return TMEX_NO_SUCH_FUNCTION;
    s->backend->setStrongPullup(level == 1);
    return level;
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
    if (!strongAccess(b, state))
        return 0;
    const std::uint8_t command[4] = {static_cast<std::uint8_t>(memoryType == 0 ? 0x0F : 0x55),
                                     static_cast<std::uint8_t>(address & 0xFF),
                                     static_cast<std::uint8_t>((address >> 8) & 0xFF),
                                     static_cast<std::uint8_t>(value & 0xFF)};
    for (std::uint8_t c : command)
        b.touchByte(c);
    const int lo = b.touchByte(0xFF);
    const int hi = b.touchByte(0xFF);
    const auto echo = static_cast<std::uint16_t>(~((hi << 8) | lo) & 0xFFFF);
    if (echo != crc16(command, 4))
        return 2;
    if (!b.programPulse())
        return 3;
    const int readBack = b.touchByte(0xFF) & 0xFF;
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
