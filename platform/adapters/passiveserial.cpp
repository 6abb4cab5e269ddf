#include "platform/adapters/passiveserial.h"

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

Triplet PassiveSerialBackend::searchTriplet(int preferred)
{
    // The two read slots go in one write; the direction needs their answer.
    Triplet t;
    std::string echo;
    if (!setBaud(kSlotBaud) || !exchange(std::string(2, kOneSlot), 2, echo)) {
        t.error = TMEX_PORT_NOT_EXIST;
        return t;
    }
    t.id = static_cast<unsigned char>(echo[0]) == 0xFF ? 1 : 0;
    t.complement = static_cast<unsigned char>(echo[1]) == 0xFF ? 1 : 0;
    t.direction = t.id != t.complement ? t.id : (t.id == 0 ? (preferred != 0 ? 1 : 0) : 1);
    if (t.id != 0 && t.complement != 0)
        return t;  // nobody left: the pass ends here
    t.error = bit(t.direction).error;
    return t;
}

std::string PassiveSerialBackend::typeVersion(int) const
{
    return "Tedsmith passive serial adapter driver 1.0";
}

} // namespace platform
