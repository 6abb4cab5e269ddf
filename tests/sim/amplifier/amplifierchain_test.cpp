// The simulated amplifier chain as the far end of an in-memory port, on virtual time.

#include "chainfixture.h"

#include "sim/onewire/simnode.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace platform::sim;
using namespace chain_fixture;

namespace {

TEST_F(ChainTest, EchoesEveryCharacter)
{
    make(chainOf(1));
    port.Output("ab");
    EXPECT_EQ(port.Input(), "");
    vclock.advance(1ms);
    EXPECT_EQ(port.Input(), "");
    // The second echo follows one character time (9600 baud) later.
    vclock.advance(1ms);
    EXPECT_EQ(port.Input(), "a");
    vclock.advance(1ms);
    EXPECT_EQ(port.Input(), "b");
    EXPECT_EQ(exchange("\n"), "\n");
}

TEST_F(ChainTest, EchoKnobs)
{
    auto c = chainOf(1);
    c.line.echo = false;
    make(c);
    EXPECT_EQ(reply("s_b?"), "");
    EXPECT_EQ(port.Input(), "");
    chain->line().echo = true;
    chain->line().echoDelay = 150ms;
    EXPECT_EQ(exchange("x", 100ms), "");
    vclock.advance(60ms);
    EXPECT_EQ(port.Input(), "x");
}

TEST_F(ChainTest, AsleepChainWakesOnAt)
{
    auto c = chainOf(1);
    c.line.asleep = true;
    make(c);
    EXPECT_EQ(exchange("s_b?\n"), "");
    EXPECT_EQ(exchange("@@@@@@@@@@@@@@@@@@@@", 10ms), "");
    EXPECT_FALSE(chain->awake());
    vclock.advance(600ms);
    EXPECT_EQ(exchange("s_b?\n"), "s_b?\n0\n");
    EXPECT_TRUE(chain->awake());
}

TEST_F(ChainTest, AddressesAmplifiersOneAfterTheOther)
{
    make(chainOf(3));
    for (int n = 1; n <= 3; ++n)
        address(n);
    // A fourth exchange finds nobody.
    EXPECT_EQ(exchange("PELOX00 IDNUM04", 400ms), "PELOX00 IDNUM04");
    exchange("\n");
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(chain->amplifier(p).address(), p);
    EXPECT_EQ(reply("PELOX02 Iden?"), "PELOX02,Type 6181,0000002\n");
    EXPECT_EQ(reply("PELOX04 Iden?"), "");
    // Reset: all drop their address.
    reply("PELOX00 IDRESET");
    EXPECT_EQ(chain->amplifier(3).address(), 0);
    EXPECT_EQ(reply("PELOX01 Iden?"), "");
}

TEST_F(ChainTest, AWrongConfirmationTakesNoAddress)
{
    make(chainOf(1));
    EXPECT_EQ(exchange("PELOX00 IDNUM01"), "PELOX00 IDNUM01PELOX01");
    EXPECT_EQ(exchange("PELOX02"), "PELOX02");
    EXPECT_EQ(chain->amplifier(1).address(), 0);
}

TEST_F(ChainTest, SilentAmplifierEndsTheAddressing)
{
    auto c = chainOf(3);
    c.amplifiers[1].silent = true;
    make(c);
    address(1);
    EXPECT_EQ(exchange("PELOX00 IDNUM02", 400ms), "PELOX00 IDNUM02");
    EXPECT_EQ(chain->amplifier(3).address(), 0);
}

TEST_F(ChainTest, UnaddressedLinesGoToTheSelectedAmplifier)
{
    make(chainOf(2));
    address(1);
    address(2);
    EXPECT_EQ(reply("Iden?"), "PELOX01,Type 6181,0000001\n");
    reply("PELOX02 Iden?");
    EXPECT_EQ(reply("Iden?"), "PELOX02,Type 6181,0000002\n");
    EXPECT_EQ(reply("@"), "");
}

TEST_F(ChainTest, ErrorQueryReportsAndClears)
{
    make(chainOf(1));
    EXPECT_EQ(reply("Err?"), "0,\"No error\"\n");
    EXPECT_EQ(reply("NONSENSE"), "");
    EXPECT_EQ(reply("Err?"), "-100,\"Command error\"\n");
    EXPECT_EQ(reply("ERR?"), "0,\"No error\"\n");
    reply("I_C_9:MLAN 4, \"0180\"");
    EXPECT_EQ(reply("Err?"), "-222,\"Data out of range\"\n");
    reply("I_C_1:MLAN 6, \"0180\"");
    EXPECT_EQ(reply("Err?"), "-102,\"Syntax error\"\n");
    reply("I_C_1:MLAN 4, \"0280\"");
    EXPECT_EQ(reply("Err?"), "-102,\"Syntax error\"\n");
}

TEST_F(ChainTest, MlanAnswerInHeaderAndPlainForm)
{
    make(chainOf(1));
    auto& net = chain->amplifier(1).channel(3).network();
    const auto rom = RomCode::make(0x23, 42);
    net.addNode(makeNode(rom));
    const std::string romHex = bytesToHex(Bytes(rom.bytes.begin(), rom.bytes.end()));

    EXPECT_EQ(reply("I_C_3:MLAN?"), "I_C_3:MLAN 0\n");
    EXPECT_EQ(reply("I_C_3:MLAN 12, \"058081000085\""), "");
    EXPECT_EQ(reply("I_C_3:MLAN?"), "I_C_3:MLAN 30, \"0E80008100" "0008" + romHex + "\"\n");
    reply("HEADER OFF");
    EXPECT_EQ(reply("I_C_3:MLAN?"), "30,\"0E80008100" "0008" + romHex + "\"\n");
    EXPECT_EQ(reply("I_C_2:MLAN?"), "0,\"\"\n");
    EXPECT_TRUE(chain->amplifier(1).mlanActive());
    reply("MLAN OFF");
    EXPECT_FALSE(chain->amplifier(1).mlanActive());
}

TEST_F(ChainTest, MlanAnswerWaitsForTheBusTime)
{
    make(chainOf(1));
    reply("HEADER OFF");
    reply("I_C_1:MLAN 14, \"0603010B830300\"");
    EXPECT_EQ(exchange("I_C_1:MLAN?\n", 400ms), "I_C_1:MLAN?\n");
    vclock.advance(200ms);
    EXPECT_EQ(port.Input(), "10,\"0403000300\"\n");
}

TEST_F(ChainTest, ReplyLineKnobs)
{
    struct Row {
        const char* lineEnd;
        const char* junk;
        const char* expected;
    };
    const Row rows[] = {
        {"\n", "", "0\n"},
        {"\r\n", "", "0\r\n"},
        {"", "", "0"},
        {"\n", "#!", "0\n#!"},
    };
    for (const auto& r : rows) {
        auto c = chainOf(1);
        c.line.lineEnd = r.lineEnd;
        c.line.junkAfterLineEnd = r.junk;
        make(c);
        EXPECT_EQ(reply("s_b?"), r.expected);
    }
}

TEST_F(ChainTest, TrickledReply)
{
    auto c = chainOf(1);
    c.line.charInterval = 30ms;
    make(c);
    port.Output("s_b?\n");
    vclock.advance(100ms);
    EXPECT_EQ(port.Input(), "s_b?");
    vclock.advance(100ms);
    EXPECT_EQ(port.Input(), "\n0\n");
}

TEST_F(ChainTest, FurtherCommandsSlotIn)
{
    make(chainOf(1));
    chain->amplifier(1).addCommand("conf?", [](SimAmplifier& a, const std::string&) {
        return std::optional<std::string>(a.config().serial + "," + a.config().type);
    });
    chain->amplifier(1).addChannelCommand("t_s?", [](SimAmplifier&, int ch, const std::string&) {
        return std::optional<std::string>(std::to_string(ch) + ".5,mV/Pa");
    });
    EXPECT_EQ(reply("CONF?"), "0000001,Type 6181\n");
    EXPECT_EQ(reply("I_C_2:t_s?"), "2.5,mV/Pa\n");
}

TEST(ChainConfig, ParsesADescription)
{
    const std::string text = "# two amplifiers\n"
                             "header off\nlineend crlf\necho 5\n"
                             "amplifier ZQ6188A\nserial 7654321\nfirmware 1.2.16\nchannels 16\n"
                             "channel 2 single net.txt\n"
                             "amplifier Type 6180\nsilent\n";
    AmplifierSimConfig c;
    std::string error;
    ASSERT_TRUE(parseAmplifierSimConfig(text, "/base", c, error)) << error;
    ASSERT_EQ(c.amplifiers.size(), 2u);
    EXPECT_FALSE(c.headerAtStart);
    EXPECT_EQ(c.line.lineEnd, "\r\n");
    EXPECT_EQ(c.line.echoDelay, 5ms);
    const auto& a = c.amplifiers[0];
    EXPECT_EQ(a.type, "ZQ6188A");
    EXPECT_EQ(a.serial, "7654321");
    EXPECT_EQ(a.firmwareMinor, 2);
    EXPECT_EQ(a.firmwareBuild, 16);
    ASSERT_EQ(a.channels.size(), 16u);
    EXPECT_EQ(a.channels[1].master, MasterMode::SingleNode);
    EXPECT_EQ(a.channels[1].networkFile, std::filesystem::path("/base/net.txt"));
    EXPECT_TRUE(c.amplifiers[1].silent);
}

TEST(ChainConfig, RejectsWrongLines)
{
    const char* bad[] = {"serial 1\n", "amplifier\nchannels 17\n", "amplifier\nchannel 5 single\n",
                         "amplifier\nfirmware 2\n", "amplifier\nbogus\n", "", "amplifier\nchannel 1 dual\n"};
    for (const char* t : bad) {
        AmplifierSimConfig c;
        std::string error;
        EXPECT_FALSE(parseAmplifierSimConfig(t, "/", c, error)) << t;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ChainConfig, MissingNetworkFileIsReported)
{
    auto c = chainOf(1);
    c.amplifiers[0].channels[0].networkFile = "/nonexistent/net.txt";
    AmplifierChain chain(c);
    std::string error;
    EXPECT_FALSE(chain.loadNetworks(error));
    EXPECT_NE(error.find("channel 1"), std::string::npos);
}

// A channel's network is read like any description: a device or a pipe is refused at once.
TEST(ChainConfig, NetworkThatIsNoRegularFileIsRefused)
{
    for (const char* file : {"/dev/zero", "/dev/stdin", "/dev/null"}) {
        auto c = chainOf(1);
        c.amplifiers[0].channels[1].networkFile = file;
        AmplifierChain chain(c);
        std::string error;
        EXPECT_FALSE(chain.loadNetworks(error)) << file;
        EXPECT_NE(error.find("channel 2: cannot read"), std::string::npos) << error;
    }
}

} // namespace
