// Descriptions of the simulated amplifier chain with their channels' networks; a chain
// that loads then takes the bytes after the first NUL as lines from the host.

#include "tests/fuzz/fuzzsupport.h"

#include "sim/amplifier/amplifierchain.h"
#include "sim/amplifier/amplifiersimconfig.h"
#include "platform/base/clock.h"

#include <chrono>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& folder = fuzz::begin();
    fuzz::writeFile("net.txt", "node 2D:1\nmemory 0 4142\nnode 10:2\ntemperature 21.5\n");
    const auto [text, host] = fuzz::splitAtNul(fuzz::bytes(data, size));
    platform::sim::AmplifierSimConfig config;
    std::string error;
    if (!platform::sim::parseAmplifierSimConfig(text, folder, config, error)) {
        fuzz::check(!error.empty(), "a refused chain says why");
        return 0;
    }
    platform::sim::AmplifierChain chain(config);
    if (!chain.loadNetworks(error))
        return 0;
    const auto start = platform::clock().now();
    chain.hostWrote(host.substr(0, 2048), start);
    // Everything the chain has to say within a minute, character by character.
    const auto until = start + std::chrono::seconds(60);
    std::size_t steps = 0;
    for (auto due = chain.nextDue(); due && *due <= until; due = chain.nextDue()) {
        chain.sentBy(*due);
        fuzz::check(++steps < 1000000, "the chain's output ends");
    }
    return 0;
}
