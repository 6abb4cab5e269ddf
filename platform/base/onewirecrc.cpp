#include "platform/base/onewirecrc.h"

namespace platform {

namespace {

template <typename T>
T crcLsbFirst(const std::uint8_t* data, std::size_t n, T seed, T poly)
{
    T crc = seed;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t b = data[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ b) & 0x01) != 0;
            crc = static_cast<T>(crc >> 1);
            if (mix)
                crc = static_cast<T>(crc ^ poly);
            b = static_cast<std::uint8_t>(b >> 1);
        }
    }
    return crc;
}

} // namespace

std::uint8_t crc8(const std::uint8_t* data, std::size_t n, std::uint8_t seed)
{
    return crcLsbFirst<std::uint8_t>(data, n, seed, 0x8C);
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t n, std::uint16_t seed)
{
    return crcLsbFirst<std::uint16_t>(data, n, seed, 0xA001);
}

} // namespace platform
