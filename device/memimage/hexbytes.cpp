#include "device/memimage/hexbytes.h"

#include "platform/base/onewirecrc.h"

#include "core/base/message.h"

#include <algorithm>

namespace device {

std::uint8_t Clamp_Byte(int value)
{
    if (value >= 256)
        return 255;
    if (value < 0)
        return 0;
    return static_cast<std::uint8_t>(value);
}

std::string Bytes_To_Hex(const std::vector<std::uint8_t>& array, int first, int last)
{
    std::string out;
    for (int i = first; i <= last; ++i) {
        if (i < 0 || i >= static_cast<int>(array.size()))
            continue;
        out += core::ByteToHex2(array[static_cast<std::size_t>(i)]);
    }
    return out;
}

int leadingHexValue(const std::string& text, std::size_t pos, std::size_t maxDigits)
{
    // Seven digits are the most an int holds whatever they are.
    maxDigits = std::min<std::size_t>(maxDigits, kMaxHexDigits);
    int value = 0;
    for (std::size_t k = 0; k < maxDigits && pos + k < text.size(); ++k) {
        const int d = platform::hexDigitValue(text[pos + k]);
        if (d < 0)
            break;
        value = value * 16 + d;
    }
    return value;
}

void Hex_To_Bytes(const std::string& text, int start, std::vector<std::uint8_t>& array, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        if (i < 0 || i >= static_cast<int>(array.size()))
            continue;
        const long pos = static_cast<long>(start) + 2L * (i - first) - 1;  // 0-based
        int value = 0;
        if (pos >= 0)
            value = leadingHexValue(text, static_cast<std::size_t>(pos), 2);
        array[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
}

} // namespace device
