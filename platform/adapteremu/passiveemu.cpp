#include "platform/adapteremu/passiveemu.h"

namespace platform::emu {

void PassiveAdapterEmu::received(const std::string& bytes)
{
    if (baud() == 9600) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool presence = network().reset();
            answer(shorted() ? 0x00 : presence ? 0xE0 : 0xF0);
        }
        return;
    }
    if (baud() != 115200) {
        for (char ch : bytes)
            answer(static_cast<std::uint8_t>(ch));  // garbled: the UART echoes what it sent
        return;
    }
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes.size() - i >= 8) {
            std::uint8_t value = 0;
            for (int k = 0; k < 8; ++k)
                if (static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) == 0xFF)
                    value = static_cast<std::uint8_t>(value | (1u << k));
            const std::uint8_t read = shorted() ? 0 : network().touchByte(value);
            for (int k = 0; k < 8; ++k) {
                const bool one = ((value >> k) & 1) != 0;
                answer(!one ? 0x00 : ((read >> k) & 1) != 0 ? 0xFF : 0xFE);
            }
            i += 8;
            continue;
        }
        const bool one = static_cast<unsigned char>(bytes[i]) == 0xFF;
        const int read = shorted() ? 0 : network().touchBit(one ? 1 : 0);
        answer(!one ? 0x00 : read != 0 ? 0xFF : 0xFE);
        ++i;
    }
}

} // namespace platform::emu
