// The transport on a real pseudo-terminal with the simulated amplifier chain on the
// other side (real time; each test stays well under a second).

#include "device/amplink/peloxtransport.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/serial/termiosserialport.h"
#include "sim/amplifier/amplifierptyserver.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/memorytrace.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace platform::sim;

namespace {

class PtyTransportTest : public ::testing::Test {
protected:
    // setup runs before the server thread starts.
    void start(int amplifiers, const std::function<void(AmplifierChain&)>& setup = {})
    {
        AmplifierSimConfig c;
        c.amplifiers.assign(static_cast<std::size_t>(amplifiers), AmplifierConfig{});
        c.line.echoDelay = platform::Micros(200);
        c.line.replyDelay = platform::Micros(500);
        c.line.charInterval = platform::Micros(100);
        chain = std::make_unique<AmplifierChain>(c);
        if (setup)
            setup(*chain);
        server = std::make_unique<AmplifierPtyServer>(*chain);
        std::string error;
        ASSERT_TRUE(server->open(error)) << error;
        thread = std::thread([this] { server->serve(stop); });
        port.setDevicePath(server->slavePath());
        ASSERT_TRUE(port.setPortOpen(true)) << port.lastError();
        device::resetDeviceState();
        device::resetTransportState();
        device::setPeloxPort(&port);
    }
    void TearDown() override
    {
        device::setPeloxPort(nullptr);
        port.setPortOpen(false);
        stop = true;
        if (thread.joinable())
            thread.join();
    }

    std::unique_ptr<AmplifierChain> chain;
    std::unique_ptr<AmplifierPtyServer> server;
    std::atomic<bool> stop{false};
    std::thread thread;
    platform::TermiosSerialPort port;
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
};

TEST_F(PtyTransportTest, EchoIsConsumedAndTheReplyRead)
{
    // The receive ends with the reply; a long timeout only keeps a loaded machine from
    // failing the test.
    constexpr int kPatientMs = 10000;
    start(1);
    device::Pelox_Send("s_b?");
    EXPECT_EQ(device::Pelox_Receive(kPatientMs), "0");
    device::Pelox_Send("Err?");
    EXPECT_EQ(device::Pelox_Receive(kPatientMs), "0,\"No error\"");
    const std::vector<std::string> expected = {"Send: s_b?", "reci: 0", "Send: Err?", "reci: 0,\"No error\""};
    EXPECT_EQ(trace.lines, expected);
}

TEST_F(PtyTransportTest, AddressesAChainOfThree)
{
    start(3);
    for (int n = 1; n <= 3; ++n) {
        std::string reply;
        EXPECT_TRUE(device::Pelox_Assign_Address(n, &reply)) << n;
        EXPECT_EQ(reply, "PELOX0" + std::to_string(n));
    }
    // Nobody takes a fourth address; the raw "PELOX01" must reach the line before the
    // output is purged, so the chain sees a whole identification line.
    EXPECT_FALSE(device::Pelox_Assign_Address(4));
    EXPECT_EQ(trace.lines.back(), "reci: PELOX01,Type 6181,0000001");
    stop = true;
    thread.join();
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(chain->amplifier(p).address(), p);
    EXPECT_EQ(chain->lines().back(), "PELOX01 Iden?");
}

TEST_F(PtyTransportTest, RomSearchThroughTheMlanPassThrough)
{
    const auto rom = RomCode::make(0x23, 0x0102030405);
    start(1, [&](AmplifierChain& c) { c.amplifier(1).channel(2).network().addNode(makeNode(rom)); });
    auto& ds = device::deviceState();
    ds.SelectedAmplifier = 1;
    ds.SelectedChannel = 2;

    // The chain answers in the header form; the transport hands on the plain form.
    const std::string found = device::Mlan_Transaction("8081000085");
    ASSERT_EQ(found.substr(0, 14), "30,\"0E80008100") << found;
    // The id: the 16 characters before the closing quote, taken pair by pair from the end.
    const std::string bus = found.substr(found.size() - 17, 16);
    std::string id;
    for (int k = 7; k >= 0; --k)
        id += bus.substr(static_cast<std::size_t>(2 * k), 2);
    EXPECT_EQ(id, rom.nodeId());

    const std::string done = device::Mlan_Transaction("8081000085");
    EXPECT_EQ(done.substr(4, 10), "0E80008101") << done;
}

} // namespace
