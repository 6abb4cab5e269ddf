#include "platform/adapters/passiveserialbackend.h"

namespace platform {

namespace {

constexpr int kResetBaud = 9600;
constexpr int kSlotBaud = 115200;
constexpr char kResetChar = '\xF0';
constexpr char kOneSlot = '\xFF';
constexpr char kZeroSlot = '\x00';
// Longest block sent in one write (eight slot characters a byte).
constexpr std::size_t kBlockBytes = 64;

std::string slots(const std::uint8_t* data, std::size_t n)
{
    std::string out;
    out.reserve(n * 8);
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < 8; ++k)
            out += ((data[i] >> k) & 1) != 0 ? kOneSlot : kZeroSlot;
    return out;
}

std::uint8_t fromSlots(const std::string& echo, std::size_t at)
{
    std::uint8_t v = 0;
    for (int k = 0; k < 8; ++k)
        if (static_cast<unsigned char>(echo[at + static_cast<std::size_t>(k)]) == 0xFF)
            v = static_cast<std::uint8_t>(v | (1u << k));
    return v;
}

} // namespace

PassiveSerialBackend::PassiveSerialBackend(std::unique_ptr<SerialPort> port, int commPort)
    : SerialAdapterBackend(std::move(port), commPort, "passive serial adapter")
{
}

bool PassiveSerialBackend::start()
{
    // The adapter echoes every character; a port with nothing on it stays silent.
    return resetPulse() != ResetOutcome::Failed;
}

ResetOutcome PassiveSerialBackend::resetPulse()
{
    std::string echo;
    if (!setBaud(kResetBaud) || !exchange(std::string(1, kResetChar), 1, echo))
        return ResetOutcome::Failed;
    const auto e = static_cast<unsigned char>(echo[0]);
    if (e == 0x00)
        return ResetOutcome::Short;
    return e == 0xF0 ? ResetOutcome::NoPresence : ResetOutcome::Presence;
}

BusResult PassiveSerialBackend::bit(int b)
{
    std::string echo;
    if (!setBaud(kSlotBaud) || !exchange(std::string(1, b != 0 ? kOneSlot : kZeroSlot), 1, echo))
        return {0, TMEX_PORT_NOT_EXIST};
    return {static_cast<unsigned char>(echo[0]) == 0xFF ? 1 : 0, 0};
}

BusResult PassiveSerialBackend::byte(int b)
{
    std::uint8_t data = static_cast<std::uint8_t>(b & 0xFF);
    const int r = block(&data, 1);
    return {data, r};
}

int PassiveSerialBackend::block(std::uint8_t* data, std::size_t n)
{
    if (!setBaud(kSlotBaud))
        return TMEX_PORT_NOT_EXIST;
    for (std::size_t first = 0; first < n; first += kBlockBytes) {
        const std::size_t count = std::min(kBlockBytes, n - first);
        std::string echo;
        if (!exchange(slots(data + first, count), count * 8, echo))
            return TMEX_PORT_NOT_EXIST;
        for (std::size_t i = 0; i < count; ++i)
            data[first + i] = fromSlots(echo, i * 8);
    }
    return 0;
}

int PassiveSerialBackend::searchPass(int command, const std::array<std::uint8_t, 8>& preferred,
                                     std::array<std::uint8_t, 8>& rom, std::array<std::uint8_t, 8>& discrepancies)
{
    rom.fill(0);
    discrepancies.fill(0);
    if (const int code = resetFailureCode(resetPulse()); code != 0)
        return code;
    if (!setBaud(kSlotBaud))
        return TMEX_PORT_NOT_EXIST;
    // The command byte with the first position's two read slots.
    const auto cmd = static_cast<std::uint8_t>(command & 0xFF);
    std::string out = slots(&cmd, 1) + std::string(2, kOneSlot);
    std::string echo;
    if (!exchange(out, out.size(), echo))
        return TMEX_PORT_NOT_EXIST;
    auto high = [&](std::size_t i) { return static_cast<unsigned char>(echo[i]) == 0xFF ? 1 : 0; };
    int id = high(8);
    int complement = high(9);
    for (int pos = 0; pos < 64; ++pos) {
        if (id != 0 && complement != 0)
            return 1;  // nobody left: the pass ends here
        const auto byteIndex = static_cast<std::size_t>(pos / 8);
        const auto mask = static_cast<std::uint8_t>(1u << (pos % 8));
        int direction = id;
        if (id == complement) {
            discrepancies[byteIndex] = static_cast<std::uint8_t>(discrepancies[byteIndex] | mask);
            direction = (preferred[byteIndex] & mask) != 0 ? 1 : 0;
        }
        if (direction != 0)
            rom[byteIndex] = static_cast<std::uint8_t>(rom[byteIndex] | mask);
        // The direction slot, and the next position's two read slots in the same write.
        out = std::string(1, direction != 0 ? kOneSlot : kZeroSlot);
        if (pos < 63)
            out += std::string(2, kOneSlot);
        if (!exchange(out, out.size(), echo))
            return TMEX_PORT_NOT_EXIST;
        if (pos < 63) {
            id = high(1);
            complement = high(2);
        }
    }
    return 0;
}

std::string PassiveSerialBackend::typeVersion(int) const
{
    return "Tedsmith passive serial adapter driver 1.0";
}

} // namespace platform
