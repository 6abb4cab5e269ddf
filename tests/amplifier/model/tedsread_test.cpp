// The TEDS group of the amplifier window's model on the in-memory line (virtual time):
// the TEDS taken from the node list (nodes stand in for what a scan found), the
// sensitivity written to the channel in Plug && Play mode, the unit mapping, the mode
// rules, and the selection by channel number.

#include "amplifier/model/amplifierrecord.h"
#include "chainline.h"

#include "amplifier/model/peloxmodel.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "shell/nodes/tedsfields.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <locale>
#include <map>

using namespace platform::sim;
using amplifier::amplifierState;
using Lines = std::vector<std::string>;

namespace {

// A node window whose TEDS has a title and maybe a sensitivity.
struct TedsNode final : shell::NodeWindow, shell::TedsFields {
    std::string title;
    bool hasSens = true;
    double sens = 0;
    std::string unit;
    int shown = 0;

    void Inititiate(int) override {}
    void reqShow() override { ++shown; }
    bool Visible() const override { return false; }
    std::string Title() const override { return title; }
    void DoJob() override {}
    std::string name() const override { return "TedsF"; }
    int templateIndex() override { return 0; }
    bool GetTEDSField(const std::string&, double&, std::string&, int&) override { return false; }
    bool GetParam(double& value, std::string& u) override
    {
        value = hasSens ? sens : 0;
        u = unit;
        return hasSens;
    }
};

class TedsRead : public ::testing::Test {
protected:
    TedsRead()
    {
        shell::jobQueue().StartJobQue();
        device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    }
    ~TedsRead() override
    {
        // The node windows go while the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
    }

    // A chain of one amplifier, read, with channel ch selected.
    void selectChannel(const std::string& description, int ch)
    {
        AmplifierSimConfig c;
        std::string error;
        ASSERT_TRUE(parseAmplifierSimConfig(description, "/", c, error)) << error;
        line.start(c);
        model.Form_Load();
        runJobs();
        ASSERT_TRUE(model.Select_Channel(ch));
        heardBefore = line.chain().lines().size();
    }
    // A node in the list, in state 3 (a TEDS) unless told otherwise.
    TedsNode& addNode(const std::string& title, double sens, const std::string& unit,
                      std::int32_t state = shell::TrStateTeds)
    {
        auto w = std::make_unique<TedsNode>();
        w->title = title;
        w->sens = sens;
        w->unit = unit;
        TedsNode& ref = *w;
        shell::TrRecord rec;
        rec.id = "00000000000000" + std::to_string(10 + shell::TrLast());
        rec.family = 0x23;
        rec.state = state;
        rec.obj = std::move(w);
        shell::nodesState().TrList.push_back(std::move(rec));
        return ref;
    }
    void runJobs()
    {
        auto& q = shell::jobQueue();
        while (q.JobQueLast() >= 0)
            q.Do_and_remove_job();
    }
    void job(int n)
    {
        shell::jobQueue().Insert_In_JobQue(model, n, 0LL);
        runJobs();
    }
    // What the chain heard since the channel was selected.
    Lines heard()
    {
        const auto& all = line.chain().lines();
        return Lines(all.begin() + static_cast<long>(heardBefore), all.end());
    }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
    platform::ScopedHook<std::function<void(int)>> collect{&shell::setCollectScheduler, [](int) {}};
    platform::ScopedHook<shell::TedsFieldLookup> lookup{&shell::setTedsFieldLookup,
                                                        [](shell::NodeWindow& w) { return dynamic_cast<TedsNode*>(&w); }};
    chain_line::MemoryLine line;
    amplifier::PeloxModel model;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox boxScope{box};
    core::MemoryTrace trace;
    core::ScopedTrace tracing{trace, true};
    std::size_t heardBefore = 0;
};

const char* kChain = "amplifier Type 6181\nchannels 4\nsensitivity 3 0.5 V/V\n";

TEST_F(TedsRead, PlugAndPlayWritesTheDisplayedSensitivityAndShowsTheReadBack)
{
    selectChannel(kChain, 3);
    model.mnuMode_Click(0);
    addNode("Microphone, free field, 1/2 inch", 0.0101987, "V/PA");
    job(0);
    EXPECT_EQ(heard(), (Lines{"I_C_3:T_S 0.0102V/PA", "I_C_3:T_S?", "MLAN OFF"}));
    EXPECT_EQ(model.TedsTitle, "Microphone");
    EXPECT_EQ(model.TSensitivity, "10.20m V/PA");
    EXPECT_EQ(model.Sensitivity, "10.20m");
    EXPECT_EQ(model.PeloxunitText, "V/PA");
    const auto& c = amplifierState().amplifier(1)->Channels[3];
    EXPECT_DOUBLE_EQ(c.SensValue, 0.0102);
    EXPECT_EQ(c.Unit, "V/PA");
    EXPECT_EQ(model.tree.node(4).text, "3: Coravex, unit: V/PA");
    EXPECT_EQ(line.chain().amplifier(1).channel(3).sensitivity, "0.0102");
    EXPECT_TRUE(model.ShowTheTEDS.enabled);
    EXPECT_TRUE(model.Tsens2Pelox.enabled);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(TedsRead, TheCommandCarriesADecimalPointUnderADecimalCommaLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no de_DE.utf8 locale";
    const std::locale before = std::locale::global(std::locale("de_DE.utf8"));
    selectChannel(kChain, 2);
    model.mnuMode_Click(0);
    addNode("Accelerometer", 0.0987654, "V/(m/s\xB2)");
    job(0);
    std::locale::global(before);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(heard(), (Lines{"I_C_2:T_S 0.09877V/M/S2", "I_C_2:T_S?", "MLAN OFF"}));
    EXPECT_EQ(model.TSensitivity, "98.77m V/(m/s\xB2)");
}

TEST_F(TedsRead, EmptyReadBackIsReportedAndLeavesTheMasterOn)
{
    selectChannel(kChain, 1);
    line.chain().line().replyDelay = platform::Micros(20000000);  // past the 10 s wait
    model.mnuMode_Click(0);
    addNode("Accelerometer", 0.01, "V/N");
    job(0);
    EXPECT_EQ(heard(), (Lines{"I_C_1:T_S 0.01V/UNIT", "I_C_1:T_S?"}));
    EXPECT_EQ(box.prompts(), Lines{"Error reading Pelox empty line received"});
    EXPECT_EQ(amplifierState().amplifier(1)->Channels[1].Unit, "V/V");
}

TEST_F(TedsRead, ScanOfAChannelThatGivesNoUsableSearchReplyEndsAsNoTeds)
{
    // A silent master (the ":MLAN?" answer never comes) and a single-node master asked to
    // search (it refuses the command): one search each, then the pass is over.
    struct Row {
        const char* name;
        const char* chain;
        bool silent;
    };
    const Row rows[] = {{"silent", "amplifier Type 6181\nchannels 1\n", true},
                        {"refused", "amplifier Type 6181\nchannels 1\nchannel 1 single\n", false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        selectChannel(r.chain, 1);
        ASSERT_TRUE(device::deviceState().AmpAddressing);
        if (r.silent)
            line.chain().line().replyDelay = platform::Micros(20000000);
        model.mnuMode_Click(0);
        job(6);
        const Lines h = heard();
        EXPECT_EQ(std::count(h.begin(), h.end(), "I_C_1:MLAN 12, \"058081000085\""), 1);
        EXPECT_NE(h.back(), "MLAN OFF");
        EXPECT_EQ(shell::TrLast(), -1);
        EXPECT_EQ(model.TSensitivity, "unknown");
        EXPECT_FALSE(model.ShowTheTEDS.enabled);
    }
}

TEST_F(TedsRead, TedsUnitsMapToAmplifierUnits)
{
    const std::pair<const char*, const char*> rows[] = {
        {"V/(m/s\xB2)", "V/M/S2"}, {"V/PA", "V/PA"}, {"V/Pa", "V/PA"}, {"V/C", "V/UNIT"},
        {"V/N", "V/UNIT"},         {"mV/PA", "V/V"}, {"V/g", "V/V"},   {"", "V/V"},
    };
    for (const auto& [teds, pelox] : rows)
        EXPECT_EQ(amplifier::peloxUnitOf(teds), pelox) << teds;
    model.Form_Load();
    model.TedsUnit2Pelox("V/N");
    EXPECT_EQ(model.PeloxunitText, "V/UNIT");
    EXPECT_EQ(model.PeloxunitItems.size(), 9u);
}

TEST_F(TedsRead, ManualModeShowsTheTedsAndOnlyReleasesTheMaster)
{
    selectChannel(kChain, 1);
    addNode("Force", 0.0022, "V/N");
    job(0);
    EXPECT_EQ(heard(), Lines{"MLAN OFF"});
    EXPECT_EQ(model.TSensitivity, "2.20m V/N");
    EXPECT_EQ(model.TedsTitle, "Force");
    // The switch window's call writes only in Plug && Play mode; the button always.
    model.TsensToPelox(false);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    model.Tsens2Pelox_Click();
    runJobs();
    EXPECT_EQ(heard(), (Lines{"MLAN OFF", "I_C_1:T_S 0.0022V/UNIT", "I_C_1:T_S?", "MLAN OFF"}));
}

TEST_F(TedsRead, NoTedsOrSeveralEnableNothingAndSendNothing)
{
    selectChannel(kChain, 1);
    model.mnuMode_Click(0);
    job(0);
    addNode("Memory", 0, "", shell::TrStateNotAssigned);
    job(0);
    addNode("First", 0.01, "V/N");
    addNode("Second", 0.02, "V/N");
    job(0);
    EXPECT_TRUE(heard().empty());
    EXPECT_FALSE(model.ShowTheTEDS.enabled);
    EXPECT_FALSE(model.Tsens2Pelox.enabled);
    EXPECT_EQ(model.TedsTitle, "");
    EXPECT_EQ(model.TSensitivity, "unknown");
}

TEST_F(TedsRead, NotAvailableSensitivityIsNeverWritten)
{
    selectChannel(kChain, 1);
    model.mnuMode_Click(0);
    TedsNode& n = addNode("Accelerometer", 0, "V/(m/s\xB2)");
    n.hasSens = false;
    job(0);
    EXPECT_TRUE(heard().empty());
    EXPECT_EQ(model.TSensitivity, "unknown");
    EXPECT_TRUE(model.ShowTheTEDS.enabled);
    EXPECT_FALSE(model.Tsens2Pelox.enabled);
    model.Tsens2Pelox_Click();
    job(2);
    EXPECT_TRUE(heard().empty());
    // A sensitivity handed in by the switch window can be written again.
    model.setTsens(0.5, "V/V");
    EXPECT_EQ(model.TSensitivity, "500.00m V/V");
    model.TsensToPelox(false);
    runJobs();
    EXPECT_EQ(heard().front(), "I_C_1:T_S 0.5V/V");
}

TEST_F(TedsRead, EditTedsShowsTheFirstTedsNode)
{
    addNode("Memory", 0, "", shell::TrStateNotAssigned);
    TedsNode& a = addNode("A", 1, "V/N");
    TedsNode& b = addNode("B", 1, "V/N");
    model.ShowTheTEDS_Click();
    EXPECT_EQ(a.shown, 1);
    EXPECT_EQ(b.shown, 0);
}

TEST_F(TedsRead, TitleIsCutAtTheFirstCommaElseTheFirstBlank)
{
    EXPECT_EQ(amplifier::shortTedsTitle("Accelerometer, 100 mV/g"), "Accelerometer");
    EXPECT_EQ(amplifier::shortTedsTitle("Bridge sensor"), "Bridge");
    EXPECT_EQ(amplifier::shortTedsTitle("Microphone"), "Microphone");
    EXPECT_EQ(amplifier::shortTedsTitle("A b,c"), "A b");
}

TEST_F(TedsRead, SelectChannelTakesOnlyChannelsOfAmplifierOne)
{
    selectChannel("amplifier Type 6181\nchannels 2\namplifier Type 6181\nchannels 4\n", 2);
    EXPECT_EQ(device::deviceState().SelectedChannel, 2);
    EXPECT_EQ(line.chain().lines().back(), "I_C_2:D_T_V OF");
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);  // no TEDS read posted
    for (int n : {0, 3, 4, -1, 17}) {
        EXPECT_FALSE(model.Select_Channel(n)) << n;
        EXPECT_EQ(device::deviceState().SelectedChannel, 2);
    }
    EXPECT_TRUE(heard().empty());
}

TEST_F(TedsRead, SelectChannelReportsRefusedFirmware)
{
    AmplifierSimConfig c;
    std::string error;
    ASSERT_TRUE(parseAmplifierSimConfig("amplifier Type 6180\nchannels 2\nfirmware 1.2.15\n", "/", c, error));
    line.start(c);
    model.Form_Load();
    runJobs();
    EXPECT_FALSE(model.Select_Channel(1));
    EXPECT_EQ(box.prompts().size(), 1u);
    EXPECT_EQ(line.chain().lines().back(), "I_C_1:D_T_V OF");
    // The selection stays made, as for a click.
    EXPECT_EQ(device::deviceState().SelectedChannel, 1);
}

} // namespace
