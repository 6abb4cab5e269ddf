#pragma once
// The simulated amplifier chain behind an in-memory port on virtual time, driven the
// way the host drives it (tests of the simulator).

#include "sim/amplifier/amplifierchain.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <memory>

namespace chain_fixture {

using namespace std::chrono_literals;
using namespace platform::sim;

AmplifierSimConfig chainOf(int n)
{
    AmplifierSimConfig c;
    c.amplifiers.assign(static_cast<std::size_t>(n), AmplifierConfig{});
    for (int i = 0; i < n; ++i)
        c.amplifiers[static_cast<std::size_t>(i)].serial = "000000" + std::to_string(i + 1);
    return c;
}

class ChainTest : public ::testing::Test {
protected:
    void make(const AmplifierSimConfig& c)
    {
        port.setPortOpen(false);
        chain = std::make_unique<AmplifierChain>(c);
        port.attach(chain.get());
        ASSERT_TRUE(port.setPortOpen(true));
    }
    // Writes text, lets `wait` pass and returns what came back.
    std::string exchange(const std::string& text, platform::Micros wait = 100ms)
    {
        port.Output(text);
        vclock.advance(wait);
        return port.Input();
    }
    // As the host does it: echo taken, then the reply.
    std::string reply(const std::string& line, platform::Micros wait = 100ms)
    {
        const std::string all = exchange(line + "\n", wait);
        return all.substr(std::min(all.size(), line.size() + 1));
    }
    void address(int n)
    {
        const std::string nn = (n < 10 ? "0" : "") + std::to_string(n);
        ASSERT_EQ(exchange("PELOX00 IDNUM" + nn), "PELOX00 IDNUM" + nn + "PELOX" + nn);
        ASSERT_EQ(exchange("PELOX" + nn), "PELOX" + nn + "OK");
        exchange("\n");
    }

    platform::VirtualClock vclock;
    platform::ScopedClock scoped{vclock};
    platform::MemorySerialPort port;
    std::unique_ptr<AmplifierChain> chain;
};

} // namespace chain_fixture
