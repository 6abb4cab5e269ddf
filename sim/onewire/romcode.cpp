#include "sim/onewire/simnetwork.h"

#include <cctype>

namespace platform::sim {

RomCode RomCode::make(std::uint8_t family, std::uint64_t serial)
{
    RomCode r;
    r.bytes[0] = family;
    for (int i = 0; i < 6; ++i)
        r.bytes[1 + i] = static_cast<std::uint8_t>((serial >> (8 * i)) & 0xFF);
    r.bytes[7] = crc8(r.bytes.data(), 7);
    return r;
}

std::optional<RomCode> RomCode::fromNodeId(const std::string& id)
{
    if (id.size() != 16)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        return -1;
    };
    RomCode r;
    for (int pair = 0; pair < 8; ++pair) {
        const int hi = digit(id[2 * pair]);
        const int lo = digit(id[2 * pair + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        // Pair 0 of the text is the CRC, byte 7 on the bus.
        r.bytes[7 - pair] = static_cast<std::uint8_t>((hi << 4) | lo);
    }
    return r;
}

std::string RomCode::nodeId() const
{
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    for (int i = 7; i >= 0; --i) {
        s += hex[(bytes[i] >> 4) & 0x0F];
        s += hex[bytes[i] & 0x0F];
    }
    return s;
}

bool RomCode::crcValid() const { return crc8(bytes.data(), 7) == bytes[7]; }

BusTiming timingFor(Speed s) { return s == Speed::Overdrive ? kOverdriveTiming : kStandardTiming; }

} // namespace platform::sim
