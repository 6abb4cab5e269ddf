// The commands a simulated amplifier answers beyond addressing and the 1-Wire
// pass-through: configuration, sensitivities, input set-up, template list, serial
// number, and the fault knobs that go with them.

#include "chainfixture.h"

#include <gtest/gtest.h>

using namespace chain_fixture;

namespace {

AmplifierSimConfig oneOfType(const std::string& type, const std::string& description = "")
{
    AmplifierSimConfig c;
    std::string error;
    EXPECT_TRUE(parseAmplifierSimConfig("amplifier " + type + "\nserial 0412345\n" + description, "/", c, error))
        << error;
    return c;
}

TEST_F(ChainTest, ConfigurationOfA618xAmplifier)
{
    make(oneOfType("Type 6182", "firmware 2.1.7\nconf 3 -4 70000\nchannels 2\ninput 2 P1_L preamp, low noise\n"));
    EXPECT_EQ(reply("conf?", 1s), "0412345,Type 6182,3,-4,70000,2,1,7,2,"
                              "\"CC1 CCLD, 4 mA\",\"AC, 0.1 Hz\",ON,10,"
                              "\"P1_L preamp, low noise\",\"AC, 0.1 Hz\",ON,10\n");
}

TEST_F(ChainTest, ConfigurationOfA6188ReportsItsCountAndSendsEveryChannel)
{
    make(oneOfType("ZQ6188B", "reportchannels 8\ninput 3 CC1_L\n"));
    const std::string conf = reply("conf?", 1s);
    EXPECT_EQ(conf.substr(0, 53), "0412345,ZQ6188B,1,0,0,2,0,0,8,\"P1 preamp., 200 V\",ON,");
    // Two items per channel, for all sixteen.
    EXPECT_EQ(std::count(conf.begin(), conf.end(), '"'), 32);
    EXPECT_NE(conf.find(",\"CC1_L\",ON,"), std::string::npos);
}

TEST_F(ChainTest, SensitivityIsReadAndWritten)
{
    make(oneOfType("Type 6180", "sensitivity 2 0.0102 V/M/S2\n"));
    EXPECT_EQ(reply("I_C_2:t_s?"), "0.0102,V/M/S2\n");
    EXPECT_EQ(reply("I_C_1:T_S?"), "1,V/V\n");
    EXPECT_EQ(reply("I_C_2:T_S 5.5E-03V/PA"), "");
    EXPECT_EQ(reply("I_C_2:t_s?"), "5.5E-03,V/PA\n");
    // Channel 5 of four, and a value without unit, are errors.
    EXPECT_EQ(reply("I_C_5:t_s?"), "");
    EXPECT_EQ(reply("Err?"), "-222,\"Data out of range\"\n");
    EXPECT_EQ(reply("I_C_1:T_S 2"), "");
    EXPECT_EQ(reply("Err?"), "-102,\"Syntax error\"\n");
}

TEST_F(ChainTest, InputSetUpCommands)
{
    make(oneOfType("ZQ6188C"));
    auto& amp = chain->amplifier(1);
    EXPECT_EQ(reply("I_C_4:di"), "OK\n");
    EXPECT_FALSE(amp.channel(4).enabled);
    EXPECT_NE(reply("conf?", 1s).find("\"P1 preamp., 200 V\",OFF,"), std::string::npos);
    EXPECT_EQ(reply("A_I_C:t_i"), "OK\n");
    EXPECT_EQ(reply("I_C_4:en"), "OK\n");
    EXPECT_TRUE(amp.channel(4).enabled);
    EXPECT_EQ(reply("I_C_4:D_T_V OF"), "");
    EXPECT_EQ(reply("I_C_4:D_T_C ON"), "");
    EXPECT_FALSE(amp.channel(4).dtv);
    EXPECT_TRUE(amp.channel(4).dtc);
    EXPECT_EQ(reply("Err?"), "0,\"No error\"\n");
}

TEST_F(ChainTest, TemplateList)
{
    make(oneOfType("Type 6181", "templates 1234, 99\n"));
    EXPECT_EQ(reply("TRA:TE?"), "1234,99\n");
    EXPECT_EQ(reply("TRA:C"), "");
    EXPECT_EQ(reply("TRA:TE?"), "\n");
    EXPECT_EQ(reply("TRA:TE \"1234,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA"), "");
    EXPECT_EQ(reply("TRA:TE \"777,1,0,0,0,8,25,0,8,25,0,16,40,24\",-1.2500000E01,0.0000000E00,V/V"), "");
    EXPECT_EQ(reply("TRA:TE?"), "1234,777\n");
    // A definition that breaks the grammar is refused and not listed.
    for (const char* bad : {"\"777\",1,2,V/V", "\"1,1,22,15,0,8,25,40,4,2,60,16\",1,2,V/XX",
                            "\"1,1,22,15,0,8,25,40,4,2,60,16\",1.0E-03,V/PA", "1,1,22,15,0,8,25,40,4,2,60,16,1,2,V/V",
                            "\"1,1,22,15,0,8,25,40,4,2,60,16,0\",1,2,V/V"}) {
        EXPECT_EQ(reply(std::string("TRA:TE ") + bad), "") << bad;
        EXPECT_EQ(reply("Err?"), "-102,\"Syntax error\"\n") << bad;
    }
    EXPECT_EQ(reply("TRA:TE?"), "1234,777\n");
}

TEST_F(ChainTest, SerialNumberIsProgrammedFromSevenCodes)
{
    make(oneOfType("Type 6181"));
    reply("ATAC_RESET_SERIAL_NUMBER");
    for (const char* code : {"49", "50", "51", "52", "53", "54", "55"})
        EXPECT_EQ(reply(std::string("ATAC_WRITE_SERIAL_NUMBER ") + code), "");
    EXPECT_EQ(reply("ATAC_PROGRAM_SERIAL_NUMBER?"), "");
    EXPECT_EQ(chain->amplifier(1).serialNumber(), "1234567");
    EXPECT_EQ(reply("PELOX00 Iden?"), ""); // a broadcast is not answered
    // Too few characters: refused, the number stays.
    reply("ATAC_RESET_SERIAL_NUMBER");
    reply("ATAC_WRITE_SERIAL_NUMBER 65");
    reply("ATAC_PROGRAM_SERIAL_NUMBER?");
    EXPECT_EQ(chain->amplifier(1).serialNumber(), "1234567");
    EXPECT_EQ(reply("Err?"), "-200,\"Execution error\"\n");
}

TEST_F(ChainTest, MuteAmplifierTakesItsAddressAndAnswersNothing)
{
    auto c = oneOfType("Type 6181");
    c.amplifiers.push_back(c.amplifiers[0]);
    c.amplifiers[0].mute = true;
    make(c);
    address(1);
    address(2);
    EXPECT_EQ(reply("PELOX01 Iden?"), "");
    EXPECT_EQ(reply("PELOX02 Iden?"), "PELOX02,Type 6181,0412345\n");
}

TEST_F(ChainTest, LateReplyKnob)
{
    auto c = oneOfType("Type 6181");
    c.line.replyDelay = 2s;
    make(c);
    EXPECT_EQ(exchange("s_b?\n", 1s), "s_b?\n");
    EXPECT_EQ(exchange("", 2s), "0\n");
}

TEST_F(ChainTest, TranscriptHoldsLinesAddressExchangeAndTheBurstHeardAsleep)
{
    auto c = oneOfType("Type 6181");
    c.line.asleep = true;
    make(c);
    exchange("s_b?\n");
    exchange(std::string(20, '@'), 2s);
    exchange("@\n");
    address(1);
    const std::vector<std::string> expected = {"s_b?\n" + std::string(20, '@'), "@", "PELOX00 IDNUM01", "PELOX01", ""};
    EXPECT_EQ(chain->heardTexts(), expected);
    EXPECT_TRUE(chain->transcript()[0].asleep);
}

TEST(ChainConfigCommands, ParsesTheCommandSetKeywords)
{
    const std::string text = "replydelay 40\n"
                             "amplifier ZQ6188D\nreportchannels 8\nconf 1 2 3\n"
                             "input 16 CC1_L line drive\nsensitivity 3 0.05 V/PA\ntemplates 1,2,3\nmute\n"
                             "amplifier Type 6183\n";
    AmplifierSimConfig c;
    std::string error;
    ASSERT_TRUE(parseAmplifierSimConfig(text, "/", c, error)) << error;
    EXPECT_EQ(c.line.replyDelay, 40ms);
    const auto& a = c.amplifiers[0];
    ASSERT_EQ(a.channels.size(), 16u);
    EXPECT_EQ(a.reportedChannels, 8);
    EXPECT_EQ(a.confValues[2], 3);
    EXPECT_EQ(a.channels[0].inputCode, "P1");
    EXPECT_EQ(a.channels[15].inputCode, "CC1_L");
    EXPECT_EQ(a.channels[15].inputText, "line drive");
    EXPECT_EQ(a.channels[2].sensitivity, "0.05");
    EXPECT_EQ(a.channels[2].unit, "V/PA");
    EXPECT_EQ(a.templates, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(a.mute);
    EXPECT_EQ(c.amplifiers[1].channels.size(), 4u);
    EXPECT_EQ(c.amplifiers[1].channels[0].inputCode, "CC1");

    const char* bad[] = {"amplifier\nsensitivity 1 x V\n", "amplifier\nsensitivity 1 2\n", "amplifier\ninput 9 CC1\n",
                         "amplifier\nconf 1 2\n", "amplifier\nreportchannels -1\n", "replydelay soon\n"};
    for (const char* t : bad)
        EXPECT_FALSE(parseAmplifierSimConfig(t, "/", c, error)) << t;
}

} // namespace
