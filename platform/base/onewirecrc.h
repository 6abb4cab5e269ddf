#pragma once
// The 1-Wire check sums: CRC8 (x^8 + x^5 + x^4 + 1) of ROM ids and scratchpads,
// CRC16 (x^16 + x^15 + x^2 + 1) of memory commands, both shifted least significant bit first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

std::uint8_t crc8(const std::uint8_t* data, std::size_t n, std::uint8_t seed = 0);
std::uint16_t crc16(const std::uint8_t* data, std::size_t n, std::uint16_t seed = 0);
inline std::uint8_t crc8(const std::vector<std::uint8_t>& data) { return crc8(data.data(), data.size()); }
inline std::uint16_t crc16(const std::vector<std::uint8_t>& data, std::uint16_t seed = 0) { return crc16(data.data(), data.size(), seed); }

// Value of a hexadecimal digit, -1 for any other character.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace platform
