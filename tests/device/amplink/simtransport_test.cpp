// The transport against the simulated amplifier chain in process, on virtual time:
// the exchanges the amplifier control and the 1-Wire layer build on, and the line faults.

#include "device/amplink/peloxtransport.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "sim/amplifier/amplifierchain.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <set>

using namespace std::chrono_literals;
using namespace platform::sim;
using device::deviceState;

namespace {

class SimTransportTest : public ::testing::Test {
protected:
    void make(int amplifiers, const std::function<void(AmplifierSimConfig&)>& adjust = {})
    {
        AmplifierSimConfig c;
        c.amplifiers.assign(static_cast<std::size_t>(amplifiers), AmplifierConfig{});
        if (adjust)
            adjust(c);
        port.setPortOpen(false);
        chain = std::make_unique<AmplifierChain>(c);
        port.attach(chain.get());
        ASSERT_TRUE(port.setPortOpen(true));
        device::resetDeviceState();
        device::resetTransportState();
        device::setPeloxPort(&port);
    }
    void TearDown() override { device::setPeloxPort(nullptr); }
    void select(int amp, int ch)
    {
        deviceState().SelectedAmplifier = amp;
        deviceState().SelectedChannel = ch;
    }
    RomCode addNode(int amp, int ch, std::uint8_t family, std::uint64_t serial)
    {
        const auto rom = RomCode::make(family, serial);
        chain->amplifier(amp).channel(ch).network().addNode(makeNode(rom));
        return rom;
    }
    // Node id as the search step cuts it from a reply: the 16 characters before the
    // closing quote, pair by pair from the end.
    static std::string idFromReply(const std::string& reply)
    {
        const std::string bus = reply.substr(reply.size() - 17, 16);
        std::string id;
        for (int k = 7; k >= 0; --k)
            id += bus.substr(static_cast<std::size_t>(2 * k), 2);
        return id;
    }
    long msSince(platform::Micros t0) const
    {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(vclock.elapsed() - t0).count());
    }

    platform::VirtualClock vclock;
    platform::ScopedClock scoped{vclock};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
    platform::MemorySerialPort port;
    std::unique_ptr<AmplifierChain> chain;
};

TEST_F(SimTransportTest, ChainReadAddressesUntilNobodyAnswers)
{
    make(3);
    device::Pelox_Send("@");
    device::Pelox_Send("HEADER OFF");
    device::Pelox_Send("PELOX00 IDRESET");
    int n = 0;
    while (device::Pelox_Assign_Address(n + 1))
        ++n;
    EXPECT_EQ(n, 3);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(chain->amplifier(p).address(), p);
    // The failed fourth exchange ends with the identification line of amplifier 1,
    // which answers it.
    EXPECT_EQ(chain->lines().back(), "PELOX01 Iden?");
    EXPECT_EQ(trace.lines.back(), "reci: PELOX01,Type 6181,0000001");
    device::Pelox_Send("PELOX02 Iden?");
    EXPECT_EQ(device::Pelox_Receive(10000), "PELOX02,Type 6181,0000001");
}

TEST_F(SimTransportTest, TrickledAddressAnswerIsSeenWithoutWaitingOut)
{
    make(1, [](AmplifierSimConfig& c) { c.line.charInterval = 30ms; });
    const auto t0 = vclock.elapsed();
    EXPECT_TRUE(device::Pelox_Assign_Address(1));
    EXPECT_LT(msSince(t0), 2000);
    EXPECT_EQ(chain->amplifier(1).address(), 1);
}

TEST_F(SimTransportTest, AsleepChainGivesEmptyReplies)
{
    make(1, [](AmplifierSimConfig& c) { c.line.asleep = true; });
    device::Pelox_Send("s_b?");
    EXPECT_EQ(device::Pelox_Receive(100), "");
    // The wake-up burst, straight to the port, then the pause.
    port.Output(std::string(20, '@'));
    core::Delay(10000);
    device::Pelox_Send("s_b?");
    EXPECT_EQ(device::Pelox_Receive(100), "0");
}

TEST_F(SimTransportTest, LineEndFaults)
{
    struct Row {
        const char* lineEnd;
        const char* junk;
        const char* reply;
    };
    const Row rows[] = {
        {"\n", "", "0"},
        {"\r\n", "", "0\r"},
        {"", "", "0"},      // no LF: everything that came, after the time-out
        {"\n", "ZZ", "0"},  // junk after the LF stays out of the reply
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reply);
        make(1, [&](AmplifierSimConfig& c) {
            c.line.lineEnd = r.lineEnd;
            c.line.junkAfterLineEnd = r.junk;
        });
        device::Pelox_Send("s_b?");
        EXPECT_EQ(device::Pelox_Receive(300), r.reply);
        device::Pelox_Send("Err?");
        EXPECT_EQ(device::Pelox_Receive(300).substr(0, 12), "0,\"No error\"");
    }
}

TEST_F(SimTransportTest, SilentAmplifierCostsTheTimeouts)
{
    make(1, [](AmplifierSimConfig& c) {
        c.amplifiers[0].silent = true;
        c.line.echo = false;
    });
    const auto t0 = vclock.elapsed();
    device::Pelox_Send("conf?");
    EXPECT_EQ(device::Pelox_Receive(10000), "");
    EXPECT_GE(msSince(t0), 6 * 100 + 50 + 10000);
    EXPECT_FALSE(device::Pelox_Assign_Address(1));
}

TEST_F(SimTransportTest, MultiDropSearchPassInHeaderForm)
{
    make(1);
    std::set<std::string> expected;
    for (std::uint64_t s : {11u, 22u, 33u})
        expected.insert(addNode(1, 4, 0x23, s).nodeId());
    select(1, 4);
    device::Mlan_Send("01020000");
    std::set<std::string> found;
    for (int step = 0; step < 3; ++step) {
        const std::string reply = device::Mlan_Transaction("8081000085");
        const auto q = reply.find('"');
        ASSERT_NE(q, std::string::npos);
        ASSERT_EQ(reply.substr(q + 3, 8), "80008100") << reply;
        found.insert(idFromReply(reply));
    }
    EXPECT_EQ(found, expected);
    const std::string end = device::Mlan_Transaction("8081000085");
    EXPECT_EQ(end.substr(end.find('"') + 3, 8), "80008101");
    device::Pelox_Send("MLAN OFF");
    EXPECT_FALSE(chain->amplifier(1).mlanActive());
}

TEST_F(SimTransportTest, EmptyChannelEndsTheSearchAtOnce)
{
    make(1);
    select(1, 1);
    const std::string reply = device::Mlan_Transaction("8081000085");
    EXPECT_EQ(reply.substr(reply.find('"') + 3, 4), "8004");
}

TEST_F(SimTransportTest, SingleNodeReadRom)
{
    make(1, [](AmplifierSimConfig& c) { c.amplifiers[0].channels[0].master = MasterMode::SingleNode; });
    const auto rom = addNode(1, 1, 0x14, 0x4242);
    select(1, 1);
    device::Pelox_Send("HEADER OFF");
    const std::string reply = device::Mlan_Transaction("800A02093385");
    EXPECT_EQ(reply.substr(0, 16), "28,\"0D80000A0933");
    EXPECT_EQ(reply.find("28,\"FFFFFFFFF"), std::string::npos);
    EXPECT_EQ(idFromReply(reply), rom.nodeId());
}

TEST_F(SimTransportTest, ReplyPositionsOfByteAndBlockExchanges)
{
    make(1);
    const auto rom = addNode(1, 2, 0x23, 7);
    auto* node = dynamic_cast<SimDs2433*>(chain->amplifier(1).channel(2).network().findNode(rom));
    ASSERT_NE(node, nullptr);
    for (int i = 0; i < 41; ++i)
        node->memory()[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
    select(1, 2);
    device::Pelox_Send("HEADER OFF");

    std::string w;
    for (int k = 7; k >= 0; --k)
        w += rom.nodeId().substr(static_cast<std::size_t>(2 * k), 2);
    device::Mlan_Transaction("0008" + w + "82");
    // Read memory from 0000h as one block write: the reply holds "0A" & hex(n) from position 7.
    const std::string written = device::Mlan_Transaction("0A0403F0000085");
    EXPECT_EQ(written.find("0A03", 6), 6u) << written;
    // A 41-byte block read: data from position 11.
    const std::string block = device::Mlan_Transaction("0A012985");
    ASSERT_GE(block.size(), 10u + 82u);
    EXPECT_EQ(block.substr(10, 6), "010203");
    EXPECT_EQ(block.substr(10 + 80, 2), "29");
    // A byte exchange: the last pair before the closing quote.
    const std::string byte = device::Mlan_Transaction("0A0201FF85");
    EXPECT_EQ(byte.substr(byte.size() - 3, 2), "FF");
    device::Pelox_Send("MLAN OFF");
}

TEST_F(SimTransportTest, StrongPullupAnswerComesAfterThePullup)
{
    make(1);
    select(1, 1);
    const auto t0 = vclock.elapsed();
    const std::string reply = device::Mlan_Transaction("03010B830300");
    // Sent in the header form; handed on in the plain form.
    EXPECT_EQ(reply, "10,\"0403000300\"");
    EXPECT_GE(msSince(t0), 512);
}

} // namespace
