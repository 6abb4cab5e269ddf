// Descriptions of the simulated network, loaded twice (the second load keeps the state
// of nodes still listed); the bytes after the first NUL are then put on the bus
// (0 is a reset pulse, anything else a byte).

#include "tests/fuzz/fuzzsupport.h"

#include "sim/onewire/simnetwork.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& folder = fuzz::begin();
    fuzz::writeFile("a.tds", "Memory Fileformat 1.2\r\n2D0000000000012D\r\nIEEE 1451.4\r\n&H41\r\n&H42\r\n");
    const auto [text, bus] = fuzz::splitAtNul(fuzz::bytes(data, size));
    platform::sim::SimNetwork net;
    std::string error;
    if (!net.loadDescription(text, folder, error)) {
        fuzz::check(!error.empty(), "a refused description says why");
        return 0;
    }
    net.loadDescription(text, folder, error);
    for (std::size_t i = 0; i < bus.size() && i < 1024; ++i) {
        const auto b = static_cast<std::uint8_t>(bus[i]);
        if (b == 0)
            net.reset();
        else
            net.touchByte(b);
    }
    return 0;
}
