// The chain read (job 3) against the simulated chain: the exact lines the chain hears,
// the amplifier table and the tree. The main cases run on both lines (an in-memory port
// on virtual time and a real pseudo-terminal on real time).

#include "amplifier/model/amplifierrecord.h"
#include "chainline.h"

#include "amplifier/model/peloxmodel.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;
using namespace platform::sim;
using amplifier::amplifierState;
using chain_line::chainOf;
using Lines = std::vector<std::string>;

namespace {

// The lines of the address exchange for amplifiers 1 .. n, and the failed n + 1st.
Lines addressing(int n)
{
    Lines l = {"s_b?", "@", "HEADER OFF", "PELOX00 IDRESET"};
    for (int a = 1; a <= n + 1; ++a) {
        const std::string nn = "0" + std::to_string(a);
        l.push_back("PELOX00 IDNUM" + nn);
        if (a <= n) {
            l.push_back("PELOX" + nn);
            l.push_back("");
        }
    }
    l.push_back("PELOX01 Iden?");
    return l;
}

void append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

Lines sensitivityQueries(int channels)
{
    Lines l;
    for (int ch = 1; ch <= channels; ++ch)
        l.push_back("I_C_" + std::to_string(ch) + ":t_s?");
    return l;
}

template <class Line>
class ChainRead : public ::testing::Test {
protected:
    ChainRead() { shell::jobQueue().StartJobQue(); }

    void read(const AmplifierSimConfig& c)
    {
        line.start(c);
        model.Form_Load();
        model.ReadPeloxConfig();
    }
    Lines treeTexts() const
    {
        Lines t;
        for (int i = 1; i <= model.tree.count(); ++i)
            t.push_back(model.tree.node(i).text);
        return t;
    }
    Lines heard() { return line.chain().heardTexts(); }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
    Line line;
    amplifier::PeloxModel model;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox boxScope{box};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
};

using Lines_ = ::testing::Types<chain_line::MemoryLine, chain_line::PtyLine>;
TYPED_TEST_SUITE(ChainRead, Lines_);

TYPED_TEST(ChainRead, AwakeChainOfThreeIsAddressedIdentifiedAndShown)
{
    this->read(chainOf("amplifier Type 6180\nserial 0000101\nsensitivity 1 0.0102 V/M/S2\n"
                       "amplifier Type 6181\nserial 0000102\nchannels 2\ninput 2 P1_L preamp.\nfirmware 1.2.16\n"
                       "amplifier Type 6183\nserial 0000103\nchannels 1\ninput 1 X9 custom input\n"));
    Lines expected = addressing(3);
    append(expected, {"PELOX01 Iden?", "conf?"});
    append(expected, sensitivityQueries(4));
    append(expected, {"PELOX02 Iden?", "conf?"});
    append(expected, sensitivityQueries(2));
    append(expected, {"PELOX03 Iden?", "conf?"});
    append(expected, sensitivityQueries(1));
    expected.push_back("PELOX01 Iden?"); // amplifier 1 selected
    EXPECT_EQ(this->heard(), expected);

    const Lines tree = {"Amplifier 1: Type 6180 Serial no.: 0000101",
                        "1: Coravex, unit: V/M/S2",
                        "2: Coravex, unit: V/V",
                        "3: Coravex, unit: V/V",
                        "4: Coravex, unit: V/V",
                        "Amplifier 2: Type 6181 Serial no.: 0000102",
                        "1: Coravex, unit: V/V",
                        "2: Microphone preamp. low noise, unit: V/V",
                        "Amplifier 3: Type 6183 Serial no.: 0000103",
                        "1: X9, unit: V/V"};
    EXPECT_EQ(this->treeTexts(), tree);
    EXPECT_EQ(this->model.tree.node(1).key, "rootAmplifier 1");
    EXPECT_EQ(this->model.tree.node(3).tag, "2");

    auto& amp2 = *amplifierState().amplifier(2);
    EXPECT_EQ(amp2.ChannelCount, 2);
    EXPECT_EQ(amp2.FirmwareMinor, 2);
    EXPECT_EQ(amp2.FirmwareBuild, 16);
    EXPECT_EQ(amp2.Channels[2].InputCode, "P1_L");
    EXPECT_EQ(amp2.Channels[2].ConfItem2, "AC, 0.1 Hz");
    EXPECT_DOUBLE_EQ(amplifierState().amplifier(1)->Channels[1].SensValue, 0.0102);

    const auto& ds = device::deviceState();
    EXPECT_EQ(ds.SelectedAmplifier, 1);
    EXPECT_EQ(ds.SelectedChannel, 0);
    EXPECT_EQ(ds.AmplifierCount, 3);
    EXPECT_EQ(this->model.SelectedPelox, "Amplifier: 1");
    EXPECT_EQ(this->model.SelectedChannelText, "no channel selected");
    EXPECT_TRUE(this->model.mnuTools[0].enabled);
    EXPECT_TRUE(this->box.shown.empty());
}

TYPED_TEST(ChainRead, AsleepChainGetsTwentyAtsThenThePause)
{
    auto c = chainOf("amplifier Type 6181\n");
    c.line.asleep = true;
    this->read(c);
    const auto& t = this->line.chain().transcript();
    ASSERT_GE(t.size(), 3u);
    // "s_b?" goes unheard, then exactly twenty "@" and nothing more until the pause is over.
    EXPECT_TRUE(t[0].asleep);
    EXPECT_EQ(t[0].text, "s_b?\n" + std::string(20, '@'));
    EXPECT_EQ(t[1].text, "@");
    EXPECT_GE(t[1].at - t[0].at, 10s);
    EXPECT_EQ(this->treeTexts().size(), 5u);
}

TYPED_TEST(ChainRead, A6188BReportingEightChannelsShowsSixteen)
{
    this->read(chainOf("amplifier ZQ6188B\nserial 0000188\nreportchannels 8\n"
                       "input 3 C1 charge\ninput 5 I1 intensity\ninput 7 CC1_L\ninput 9 X\ninput 10 P1_L\n"
                       "sensitivity 2 0.05 V/PA\n"));
    Lines expected = addressing(1);
    append(expected, {"PELOX01 Iden?", "conf?", "I_C_3:di", "I_C_5:di", "I_C_9:di", "A_I_C:t_i", "I_C_3:en",
                      "I_C_5:en", "I_C_9:en"});
    append(expected, sensitivityQueries(16));
    expected.push_back("PELOX01 Iden?");
    EXPECT_EQ(this->heard(), expected);

    const auto tree = this->treeTexts();
    ASSERT_EQ(tree.size(), 17u);
    EXPECT_EQ(tree[0], "Amplifier 1: ZQ6188B Serial no.: 0000188");
    EXPECT_EQ(tree[1], "1: Microphone preamp., unit: V/PA");
    EXPECT_EQ(tree[3], "3: Charge, unit: V/PA");
    EXPECT_EQ(tree[5], "5: Intensity, unit: V/PA");
    EXPECT_EQ(tree[7], "7: Coravex, unit: V/PA");
    EXPECT_EQ(tree[9], "9: X, unit: V/PA");
    EXPECT_EQ(tree[10], "10: Microphone preamp. low noise, unit: V/PA");
    EXPECT_EQ(tree[16], "16: Microphone preamp., unit: V/PA");
    EXPECT_EQ(amplifierState().amplifier(1)->ChannelCount, 16);
    // The selected amplifier's type sets the 16-channel settings.
    EXPECT_TRUE(amplifierState().Model6188);
    EXPECT_EQ(this->model.Sens2PeloxCaption, "Update 6188");
    EXPECT_EQ(amplifierState().UtidFileName, "6188_UTID.txt");
}

TYPED_TEST(ChainRead, SilentSecondOfThreeIsSkipped)
{
    this->read(chainOf("amplifier Type 6181\nserial 1\nchannels 1\n"
                       "amplifier Type 6181\nserial 2\nchannels 1\nmute\n"
                       "amplifier Type 6182\nserial 3\nchannels 1\n"));
    EXPECT_EQ(this->box.prompts(), Lines{"Pelox not responding"});
    const Lines tree = {"Amplifier 1: Type 6181 Serial no.: 1", "1: Coravex, unit: V/V",
                        "Amplifier 3: Type 6182 Serial no.: 3", "1: Coravex, unit: V/V"};
    EXPECT_EQ(this->treeTexts(), tree);
    const auto heard = this->heard();
    const auto iden2 = std::find(heard.begin(), heard.end(), "PELOX02 Iden?");
    ASSERT_NE(iden2, heard.end());
    EXPECT_EQ(*(iden2 + 1), "PELOX03 Iden?");
    EXPECT_EQ(device::deviceState().SelectedAmplifier, 1);
}

TYPED_TEST(ChainRead, NoAmplifierGivesItsMessageAndAnEmptyTree)
{
    AmplifierSimConfig c;
    c.amplifiers.clear();
    this->read(c);
    EXPECT_EQ(this->box.prompts(), Lines{"Could not assign any Pelox"});
    EXPECT_EQ(this->model.tree.count(), 0);
    EXPECT_EQ(device::deviceState().SelectedAmplifier, 0);
    EXPECT_FALSE(this->model.mnuTools[0].enabled);
}

} // namespace
