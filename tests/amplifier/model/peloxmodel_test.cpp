// The amplifier window's model on the in-memory line (virtual time): loading, jobs,
// menus, the demonstration tree, the tree selection, and the clamps on what an
// amplifier reports.

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

using namespace platform::sim;
using amplifier::amplifierState;
using Lines = std::vector<std::string>;

namespace {

class PeloxModelTest : public ::testing::Test {
protected:
    PeloxModelTest() { shell::jobQueue().StartJobQue(); }

    void read(const std::string& description)
    {
        AmplifierSimConfig c;
        std::string error;
        ASSERT_TRUE(parseAmplifierSimConfig(description, "/", c, error)) << error;
        line.start(c);
        model.Form_Load();
        runJobs();
    }
    // Runs the queued jobs, the ones they post included.
    void runJobs()
    {
        auto& q = shell::jobQueue();
        while (q.JobQueLast() >= 0)
            q.Do_and_remove_job();
    }
    void click(const std::string& text)
    {
        for (int i = 1; i <= model.tree.count(); ++i)
            if (model.tree.node(i).text == text) {
                model.PeloxTreeView_NodeClick(i);
                return;
            }
        FAIL() << "no node " << text;
    }
    // Jobs waiting, by number.
    std::vector<int> queued() const
    {
        std::vector<int> j;
        for (const auto& e : shell::jobQueue().JobQue())
            j.push_back(e.subno);
        return j;
    }
    bool traced(const std::string& part) const
    {
        return std::any_of(trace.lines.begin(), trace.lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
    chain_line::MemoryLine line;
    amplifier::PeloxModel model;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox boxScope{box};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
};

TEST_F(PeloxModelTest, LoadingSetsUpTheControlsAndPostsOneChainRead)
{
    model.Form_Load();
    EXPECT_EQ(queued(), std::vector<int>{3});
    EXPECT_EQ(model.HelpContextID, 28);
    EXPECT_EQ(model.PeloxunitItems,
              (Lines{"C/M/S2", "C/G", "C/N", "V/M/S2", "V/G", "V/PA", "V/UNIT", "V/V", "C/U"}));
    EXPECT_TRUE(model.mnuMode[1].checked);
    EXPECT_FALSE(model.mnuMode[2].visible);
    EXPECT_FALSE(model.mnuTools[0].enabled);
    EXPECT_FALSE(model.Sens2Pelox.enabled);
    EXPECT_FALSE(model.ReadTeds.enabled);
    EXPECT_EQ(model.TSensitivity, "unknown");
    EXPECT_EQ(amplifierState().TemplatesFileName, "Pelox_Templates.txt");
}

TEST_F(PeloxModelTest, UnknownJobNumbersShowTheirMessage)
{
    for (int job : {8, -1}) {
        shell::jobQueue().Insert_In_JobQue(model, job, 0LL);
        runJobs();
    }
    EXPECT_EQ(box.prompts(), (Lines{"No such job in PeloxF", "No such job in PeloxF"}));
}

// A window that records the download windows the model asks for and whether the queue
// could run jobs meanwhile.
class DownloadView final : public amplifier::PeloxView {
public:
    bool windowVisible() override { return true; }
    void parkFocus() override {}
    void modelChanged() override {}
    void showWindow() override {}
    void showDownloadWindow(int amplifierNo) override
    {
        shown.emplace_back(amplifierNo, shell::jobQueue().JobsEnabled());
    }
    std::vector<std::pair<int, bool>> shown;
};

TEST_F(PeloxModelTest, ToolsJobOpensTheSelectedAmplifiersDownloadWithTheQueueHeld)
{
    DownloadView view;
    amplifier::PeloxModel windowed(&view);
    device::deviceState().SelectedAmplifier = 2;
    windowed.mnuTools_Click(1);
    runJobs();
    EXPECT_TRUE(view.shown.empty());
    windowed.mnuTools_Click(0);
    runJobs();
    EXPECT_EQ(view.shown, (std::vector<std::pair<int, bool>>{{2, false}}));
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
}

TEST_F(PeloxModelTest, ModeMenu)
{
    model.mnuMode_Click(0);
    EXPECT_EQ(model.Modetext, "Plug && Play");
    EXPECT_EQ(model.ModeIndex, 0);
    EXPECT_TRUE(model.mnuMode[0].checked);
    EXPECT_FALSE(model.mnuMode[1].checked);
    model.mnuMode_Click(1);
    EXPECT_EQ(model.Modetext, "Manual");
    EXPECT_EQ(model.ModeIndex, 1);
    model.mnuMode_Click(7);
    EXPECT_EQ(model.ModeIndex, 1);
}

TEST_F(PeloxModelTest, DemonstrationTreeSendsNothing)
{
    line.start(AmplifierSimConfig{});
    model.mnuMode_Click(2);
    ASSERT_EQ(model.tree.count(), 15);
    EXPECT_EQ(model.tree.node(1).text, "Amplifier 1: Type 6180");
    EXPECT_EQ(model.tree.node(3).text, "Amplifier 3: Type 6180");
    EXPECT_EQ(model.tree.node(4).text, "1: Coravex, unit: mv/(m/s2)");
    EXPECT_EQ(model.tree.node(7).text, "4: Microphone, unit: mV/PA");
    EXPECT_EQ(model.tree.node(7).tag, "4");
    EXPECT_EQ(amplifierState().amplifier(3)->Channels[3].Unit, "mV/PA");
    EXPECT_EQ(amplifierState().amplifier(3)->TypeText, "");
    EXPECT_EQ(device::deviceState().AmplifierCount, 3);
    EXPECT_EQ(model.ModeIndex, 1);
    EXPECT_TRUE(line.chain().lines().empty());
}

TEST_F(PeloxModelTest, ClearingAnEmptyTreeResetsTheSelection)
{
    auto& ds = device::deviceState();
    ds.SelectedAmplifier = 2;
    ds.SelectedChannel = 3;
    model.EnableChannel(true);
    model.ClearDB();
    EXPECT_EQ(ds.SelectedAmplifier, 0);
    EXPECT_EQ(ds.SelectedChannel, 0);
    EXPECT_EQ(amplifierState().Amplifiers.size(), 1u);
    EXPECT_FALSE(model.Sens2Pelox.enabled);
}

TEST_F(PeloxModelTest, AnotherAmplifiersRootClearsTheChannelAndDisablesItsControls)
{
    read("amplifier Type 6180\nchannels 2\nsensitivity 2 0.0102 V/M/S2\namplifier ZQ6188A\nserial 9\n");
    // The settings follow the selected amplifier, here amplifier 1.
    EXPECT_FALSE(amplifierState().Model6188);
    EXPECT_EQ(model.Tsens2PeloxCaption, "Write Sens. to Pelox");

    click("2: Coravex, unit: V/M/S2");
    runJobs();
    EXPECT_EQ(device::deviceState().SelectedChannel, 2);
    EXPECT_EQ(model.channel, "2");
    EXPECT_EQ(model.SelectedChannelText, "Coravex");
    EXPECT_EQ(model.Sensitivity, "10.20m");
    EXPECT_EQ(model.PeloxunitText, "V/M/S2");
    EXPECT_TRUE(model.Sens2Pelox.enabled);
    // The channel set-up, then job 6's scan of the channel's (empty) network.
    const Lines& heard = line.chain().lines();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "I_C_2:D_T_V OF"), 1);
    EXPECT_EQ(heard.back(), "I_C_2:MLAN 10, \"0401020000\"");
    model.EnableTEDS(true);

    click("Amplifier 2: ZQ6188A Serial no.: 9");
    runJobs();
    const auto& ds = device::deviceState();
    EXPECT_EQ(ds.SelectedAmplifier, 2);
    EXPECT_EQ(ds.SelectedChannel, 0);
    EXPECT_EQ(model.SelectedChannelText, "no channel selected");
    EXPECT_EQ(model.Sensitivity, "0");
    EXPECT_FALSE(model.Sens2Pelox.enabled);
    EXPECT_FALSE(model.SensitivityCtl.enabled);
    EXPECT_FALSE(model.Tsens2Pelox.enabled);
    EXPECT_FALSE(model.ReadTeds.enabled);
    EXPECT_TRUE(amplifierState().Model6188);
    EXPECT_EQ(model.Tsens2PeloxCaption, "Write Sens. to 6188");
    EXPECT_EQ(model.Sens2PeloxCaption, "Update 6188");
    EXPECT_EQ(amplifierState().DefaultUtidFileName, "Default_6188_UTID.txt");
    EXPECT_EQ(amplifierState().TemplatesFileName, "6188_Templates.txt");
    EXPECT_EQ(line.chain().lines().back(), "PELOX02 Iden?");
}

TEST_F(PeloxModelTest, ChannelOfA6188SetsItsTedsReadUpAndHidesTheWriteControls)
{
    read("amplifier ZQ6188C\n");
    click("3: Microphone preamp., unit: V/PA");
    shell::jobQueue().Do_and_remove_job();
    EXPECT_TRUE(device::deviceState().AmpAddressing);
    EXPECT_EQ(line.chain().lines().back(), "I_C_3:D_T_C ON");
    EXPECT_FALSE(model.Sens2Pelox.visible);
    EXPECT_FALSE(model.Label2.visible);
    EXPECT_EQ(queued(), std::vector<int>{6});
}

TEST_F(PeloxModelTest, FirmwareDecidesTheAccessModeOrRefuses)
{
    struct Row {
        const char* firmware;
        bool accepted;
        bool multiDrop;
    };
    const Row rows[] = {{"2.0.0", true, true}, {"1.2.16", true, false}, {"1.2.15", false, false},
                        {"1.3.0", false, false}, {"3.0.0", true, true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.firmware);
        read(std::string("amplifier Type 6181\nchannels 1\nfirmware ") + r.firmware + "\n");
        box.clear();
        click("1: Coravex, unit: V/V");
        shell::jobQueue().Do_and_remove_job();
        EXPECT_EQ(device::deviceState().AmpAddressing, r.multiDrop);
        EXPECT_EQ(box.shown.empty(), r.accepted);
        EXPECT_EQ(queued().size(), r.accepted ? 1u : 0u);
        if (!r.accepted) {
            EXPECT_EQ(box.prompts()[0], std::string("Pelox does not support IEEE P1451, you need a software update\r\n") +
                                            "Current version " + r.firmware + "\r\nRequired version 2.0.0 or later");
        }
        shell::jobQueue().reset();
        shell::jobQueue().StartJobQue();
    }
}

TEST_F(PeloxModelTest, ReportedCountsAndNumbersAreClampedWithATraceLine)
{
    read("amplifier Type 6181\nchannels 16\nreportchannels 20\nconf 70000 -70000 5\n");
    const auto& amp = *amplifierState().amplifier(1);
    EXPECT_EQ(amp.ChannelCount, 16);
    EXPECT_EQ(amp.ConfValue1, 32767);
    EXPECT_EQ(amp.ConfValue2, -32768);
    EXPECT_EQ(amp.ConfValue3, 5);
    EXPECT_EQ(model.tree.count(), 17);
    EXPECT_TRUE(traced("20 channels reported, 16 taken"));
    EXPECT_TRUE(traced("configuration value 1 70000 out of range"));
}

TEST_F(PeloxModelTest, UnknownTypeKeepsItsRootAndSaysSo)
{
    read("amplifier Type 7000\nserial 77\namplifier Type 6180\nserial 78\nchannels 1\n");
    EXPECT_EQ(model.tree.count(), 3);
    EXPECT_EQ(model.tree.node(1).text, "Amplifier 1: Type 7000 Serial no.: 77");
    EXPECT_EQ(model.tree.node(2).text, "Amplifier 2: Type 6180 Serial no.: 78");
    EXPECT_TRUE(traced("Amplifier 1: unknown type \"Type 7000\""));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(PeloxModelTest, AddressingStopsAtTwoDigits)
{
    AmplifierSimConfig c;
    c.amplifiers.assign(100, AmplifierConfig{});
    for (auto& a : c.amplifiers)
        a.channels.resize(1);
    line.start(c);
    model.ReadPeloxConfig();
    const auto& heard = line.chain().lines();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "conf?"), 99);
    EXPECT_EQ(line.chain().amplifier(99).address(), 99);
    EXPECT_EQ(line.chain().amplifier(100).address(), 0);
    EXPECT_EQ(model.tree.node(model.tree.count() - 1).text, "Amplifier 99: Type 6181 Serial no.: 0000001");
}

TEST_F(PeloxModelTest, TypedSensitivityIsWrittenAndReadBack)
{
    read("amplifier Type 6181\nchannels 2\n");
    click("2: Coravex, unit: V/V");
    runJobs();
    model.Sensitivity = "10,5m";
    model.PeloxunitText = "V/M/S2";
    model.Sens2Pelox_Click();
    runJobs();
    const Lines& heard = line.chain().lines();
    const Lines tail(heard.end() - 3, heard.end());
    EXPECT_EQ(tail, (Lines{"I_C_2:T_S 0.0105V/M/S2", "I_C_2:T_S?", "MLAN OFF"}));
    EXPECT_EQ(model.Sensitivity, "10.50m");
    EXPECT_EQ(amplifierState().amplifier(1)->Channels[2].Unit, "V/M/S2");
    EXPECT_EQ(model.tree.node(3).text, "2: Coravex, unit: V/M/S2");
}

TEST_F(PeloxModelTest, SensitivityUpdateRefusesChannelZero)
{
    read("amplifier Type 6181\nchannels 2\n");
    const auto before = line.chain().lines().size();
    model.Sensitivity = "1";
    model.Sens2Pelox_Click();
    runJobs();
    EXPECT_EQ(line.chain().lines().size(), before);
    EXPECT_TRUE(traced("no channel selected"));
}

} // namespace
