#include "sim/adapters/passiveadapteremu.h"

namespace platform::emu {

namespace {
constexpr int kResetBaud = 9600;
constexpr int kSlotBaud = 115200;
constexpr std::uint8_t kResetChar = 0xF0;
constexpr std::uint8_t kWrite1 = 0xFF;
constexpr std::uint8_t kWrite0 = 0x00;
// Echoes: the presence pulse pulls bit 4 low; a node answering 0 holds the line low
// through data bits 0 to 2.
constexpr std::uint8_t kPresenceEcho = 0xE0;
constexpr std::uint8_t kRead0Echo = 0xF8;
} // namespace

bool PassiveAdapterEmu::framed(const Char& c)
{
    // The signalling is made of 8N1 frames; other framing changes the bit pattern.
    if (c.line.dataBits != 8 || c.line.parity != 'n' || c.line.stopBits10 != 10) {
        protocolError("passive adapter: character " + hex(c.byte) + " sent with " + std::to_string(c.line.dataBits) +
                      " data bits, parity " + std::string(1, c.line.parity) + ", not 8N1");
        return false;
    }
    if (c.line.baud == kResetBaud) {
        if (c.byte != kResetChar) {
            protocolError("passive adapter: " + hex(c.byte) + " at 9600 baud is no reset pulse (F0h)");
            return false;
        }
        return true;
    }
    if (c.line.baud == kSlotBaud) {
        if (c.byte != kWrite1 && c.byte != kWrite0) {
            protocolError("passive adapter: " + hex(c.byte) + " at 115200 baud is no time slot (FFh or 00h)");
            return false;
        }
        return true;
    }
    protocolError("passive adapter: character " + hex(c.byte) + " at " + std::to_string(c.line.baud) +
                  " baud is no 1-Wire signalling (9600 for resets, 115200 for slots)");
    return false;
}

void PassiveAdapterEmu::advance(TimePoint now)
{
    auto& in = incoming();
    while (!in.empty() && in.front().at <= now) {
        const Char c = in.front();
        const bool slot = c.line.baud == kSlotBaud;
        // Eight slots from a byte boundary of a write whose slots fill whole bytes.
        if (slot && c.count % 8 == 0 && c.index % 8 == 0 && c.index + 8 <= c.count) {
            if (in.size() < 8 || in[7].at > now)
                return;  // the byte is not on the bus yet
            std::vector<Char> group(in.begin(), in.begin() + 8);
            in.erase(in.begin(), in.begin() + 8);
            timeSlots(group);
            continue;
        }
        in.pop_front();
        if (!framed(c)) {
            echo(c.byte, c.at, c.line.baud);
            continue;
        }
        Micros took{0};
        bus().setTime(c.at - frameTime(c.line));
        if (!slot) {
            // Reset: the start bit and bits 0-3 hold the line low, bits 4-7 let it go.
            switch (bus().reset(took)) {
            case EmuBus::ResetResult::Presence: echo(kPresenceEcho, c.at, c.line.baud); break;
            case EmuBus::ResetResult::NoPresence: echo(kResetChar, c.at, c.line.baud); break;
            case EmuBus::ResetResult::Short: echo(0x00, c.at, c.line.baud); break;
            }
            continue;
        }
        timeSlots({c});
    }
}

void PassiveAdapterEmu::timeSlots(const std::vector<Char>& group)
{
    bool valid = true;
    for (const Char& c : group)
        valid = framed(c) && valid;
    std::vector<int> read(group.size(), 0);
    Micros took{0};
    bus().setTime(group.front().at - frameTime(group.front().line));
    if (valid && group.size() == 8) {
        std::uint8_t value = 0;
        for (std::size_t i = 0; i < 8; ++i)
            value |= static_cast<std::uint8_t>((group[i].byte == kWrite1 ? 1 : 0) << i);
        const std::uint8_t r = bus().byte(value, took);
        for (std::size_t i = 0; i < 8; ++i)
            read[i] = (r >> i) & 1;
    } else if (valid) {
        for (std::size_t i = 0; i < group.size(); ++i)
            read[i] = bus().bit(group[i].byte == kWrite1 ? 1 : 0, took);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        const Char& c = group[i];
        std::uint8_t back = c.byte;
        if (valid && c.byte == kWrite1 && read[i] == 0)
            back = bus().shorted() ? 0x00 : kRead0Echo;
        echo(back, c.at, c.line.baud);
    }
}

void PassiveAdapterEmu::onBreak(TimePoint at)
{
    // A break holds the line low far longer than a reset pulse: every node resets.
    Micros took{0};
    bus().setTime(at);
    bus().reset(took);
}

} // namespace platform::emu
