// The dual-switch window: its jobs against a simulated DS2406 through the real driver,
// the Mode and Tools menus, and the position captions read from a switched-gain TEDS.

#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "shell/state/shelllayer.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simnetwork.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "shell/nodewindows/switchf.h"
#include "shell/nodemodels/switchgains.h"
#include "shell/nodes/tedsfields.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/simadapter.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"
#include "tests/support/widgetfit.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <map>

namespace {

using platform::sim::RomCode;

const char* kSwitch = "BA0000003B7A0112";

std::string ffs(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += " FF";
    return s;
}

// A field value as the TEDS document would decode it.
struct FieldValue {
    double value = 0;
    std::string text;
};

// GetTEDSField over one template of the library, with fixed decoded values.
class FakeTedsFields final : public shell::TedsFields {
public:
    int t = 0;
    std::map<std::string, FieldValue> values;  // by field title
    int templateIndex() override { return t; }
    bool GetTEDSField(const std::string& part, double& value, std::string& text, int& f) override
    {
        const auto& tr = core::tdlState().Templates[static_cast<std::size_t>(t)];
        auto lower = [](std::string s) {
            for (auto& c : s)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        for (; f <= tr.fieldLast; ++f) {
            const std::string& title = tr.fields[static_cast<std::size_t>(f)].title;
            if (lower(title).find(lower(part)) == std::string::npos)
                continue;
            const auto it = values.find(title);
            if (it != values.end()) {
                value = it->second.value;
                text = it->second.text;
            }
            return true;
        }
        return false;
    }
};

struct Field {
    std::string title;
    std::string unit;
    std::string format = "0.00p";
};

// Template 0 of the library: the given fields, in order.
void templateWith(const std::string& name, const std::vector<Field>& fields)
{
    core::resetTdlState();
    auto& lib = core::tdlState();
    lib.Templates.resize(2);
    auto& t = lib.Templates[0];
    t.name = name;
    t.fieldLast = static_cast<int>(fields.size()) - 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        t.fields[i].title = fields[i].title;
        t.fields[i].unit = fields[i].unit;
        t.fields[i].format = fields[i].format;
    }
    lib.TemplateLast = 0;
    lib.TemplateParseLast = 0;
}

struct RecordingAmplifier final : shell::AmplifierWindow {
    std::vector<std::string> calls;
    void setTsens(double v, const std::string& unit) override { calls.push_back("setTsens " + std::to_string(v) + " " + unit); }
    void TsensToPelox(bool force) override { calls.push_back(force ? "TsensToPelox force" : "TsensToPelox"); }
    void show() override {}
    void unload() override {}
    void Wakeup_Pelox() override {}
};

class SwitchWindow : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
    SwitchWindow() : VirtualServices(true)
    {
        testing_support::plugSimulatedAdapter(net);
        std::string error;
        EXPECT_TRUE(net->loadDescription("node 12:0000003B7A01\ninputs 1 1\n", {}, error)) << error;
        sim = dynamic_cast<platform::sim::SimDualSwitch*>(net->findNode(*RomCode::fromNodeId(kSwitch)));
        shell::jobQueue().StartJobQue();
    }
    ~SwitchWindow() override
    {
        // The node windows go while the factory and the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
        shell::setTedsFieldLookup({});
    }

    // Adds the switch node; returns its switch window (record 1).
    shell::SwitchF& addSwitch()
    {
        shell::NodeTree::Handle h = 0;
        shell::New_Transducer("New node", kSwitch, 0x12, h);
        auto& list = shell::nodesState().TrList;
        return *dynamic_cast<shell::SwitchF*>(list.at(1).obj.get());
    }
    // The queued jobs as "target:number".
    std::vector<std::string> queued() const
    {
        std::vector<std::string> out;
        for (const auto& e : shell::jobQueue().JobQue())
            out.push_back(e.objName + ":" + std::to_string(e.subno));
        return out;
    }
    void runJobs()
    {
        while (shell::jobQueue().JobQueLast() >= 0)
            shell::jobQueue().tick();
    }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    platform::sim::SimDualSwitch* sim = nullptr;
    RecordingAmplifier amplifier;
    platform::ScopedHook<shell::AmplifierWindow*> amplifierHook{&shell::setAmplifierWindow, &amplifier};
    shell::MinimalNodeWindowFactory windows;
    app::NodeWiring wiring{{.windows = &windows, .driverNodes = nullptr, .collect = [](int) {}}};
};

TEST_F(SwitchWindow, ButtonsWriteTheOutputsThroughTheQueue)
{
    auto& w = addSwitch();
    auto& m = w.model();
    EXPECT_EQ(w.windowTitle(), "Tedsmith - Switch");
    EXPECT_EQ(m.NodeID, kSwitch);
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:4"}));
    runJobs();
    // No TEDS window: the first TEDS lookup changes nothing.
    EXPECT_TRUE(m.ModeSelectorVisible);
    EXPECT_EQ(m.SW_select, shell::designPositionCaptions());

    // A click changes the position as well: two writes, no device access yet.
    w.SW_A->click();
    EXPECT_EQ(m.SW_A, "0");
    EXPECT_EQ(m.SW_B, "1");
    EXPECT_EQ(m.position, 2);
    EXPECT_TRUE(w.SW_select[2]->isChecked());
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:1", "SwitchF:1"}));
    EXPECT_TRUE(sim->flipFlopA());
    runJobs();
    EXPECT_FALSE(sim->flipFlopA());  // output 0: transistor on
    EXPECT_TRUE(sim->flipFlopB());

    // Selecting position 1 writes A = 1, B = 0.
    w.SW_select[1]->click();
    runJobs();
    EXPECT_EQ(m.SW_A, "1");
    EXPECT_EQ(m.SW_B, "0");
    EXPECT_TRUE(sim->flipFlopA());
    EXPECT_FALSE(sim->flipFlopB());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SwitchWindow, ReadShowsTheSensedLevelsAndAFailedReadChangesNothing)
{
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    m.SW_select_Click(3);
    runJobs();
    // The outside world pulls B low: the read shows it and writes it as the new output.
    sim->setInputLevels(true, false);
    shell::jobQueue().Insert_In_JobQue(w, 0, 0LL);
    shell::jobQueue().tick();
    EXPECT_EQ(m.SW_A, "1");
    EXPECT_EQ(m.SW_B, "0");
    EXPECT_EQ(m.position, 1);
    EXPECT_FALSE(sim->flipFlopB());

    // The node gone: the read fails, captions and position stay, nothing is written.
    auto node = net->removeNode(*RomCode::fromNodeId(kSwitch));
    trace.lines.clear();
    shell::jobQueue().Insert_In_JobQue(w, 0, 0LL);
    shell::jobQueue().tick();
    EXPECT_EQ(m.SW_A, "1");
    EXPECT_EQ(m.SW_B, "0");
    EXPECT_EQ(m.position, 1);
    EXPECT_TRUE(queued().empty());
    bool traced = false;
    for (const auto& l : trace.lines)
        traced = traced || l == std::string("Switch ") + kSwitch + ": reading PIO-A/B failed";
    EXPECT_TRUE(traced);
}

TEST_F(SwitchWindow, ReadFrameWaitsThenShowsTheLevels)
{
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    sim->setInputLevels(false, true);
    w.cbRead->click();
    EXPECT_EQ(m.lbPIOA, "--------------");
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:0"}));
    const auto before = clock.elapsed();
    runJobs();
    EXPECT_GE(clock.elapsed() - before, std::chrono::milliseconds(500));
    EXPECT_EQ(m.lbPIOA, "PIO-A = 0");
    EXPECT_EQ(m.lbPIOB, "PIO-B = 1");
}

TEST_F(SwitchWindow, ModeMenuDrivesTheFramesAndTheOutputsThroughJobs)
{
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    m.SW_select_Click(0);
    runJobs();
    ASSERT_FALSE(sim->flipFlopA());

    // "Read PIOA/B": both outputs high, the read frame shown.
    w.mnuMode[2]->trigger();
    EXPECT_TRUE(m.FrameReadVisible);
    EXPECT_TRUE(m.ModeSelectorVisible);
    EXPECT_FALSE(sim->flipFlopA());  // nothing touched the bus inside the menu handler
    runJobs();
    EXPECT_TRUE(sim->flipFlopA());
    EXPECT_TRUE(sim->flipFlopB());
    // Unchecked: the captions' levels are written back.
    w.mnuMode[2]->trigger();
    EXPECT_FALSE(m.FrameReadVisible);
    runJobs();
    EXPECT_FALSE(sim->flipFlopA());
    EXPECT_FALSE(sim->flipFlopB());

    // "Bit switches" swaps the position view for the buttons.
    w.mnuMode[1]->trigger();
    EXPECT_TRUE(m.DIP_SwitchVisible);
    EXPECT_FALSE(m.ModeSelectorVisible);
    EXPECT_TRUE(w.DIP_Switch->isVisibleTo(&w));
    runJobs();

    // "Read after Write": every write is read back.
    w.mnuMode[0]->trigger();
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:0", "SwitchF:1"}));
    runJobs();
    sim->setInputLevels(true, true);
    m.SW_select_Click(2);
    runJobs();
    EXPECT_EQ(m.SW_A, "0");
    EXPECT_EQ(m.SW_B, "1");
}

TEST_F(SwitchWindow, ActivatingTheWindowSelectsBothOutputsHigh)
{
    auto& m = addSwitch().model();
    runJobs();
    m.SW_select_Click(1);
    runJobs();
    ASSERT_FALSE(sim->flipFlopB());
    m.Form_Activate();
    EXPECT_EQ(m.position, 3);
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:1"}));
    runJobs();
    EXPECT_TRUE(sim->flipFlopA());
    EXPECT_TRUE(sim->flipFlopB());
}

TEST_F(SwitchWindow, StatusPowerUpAndUnknownJobs)
{
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    w.mnuTools[0]->trigger();
    runJobs();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Status on family 12 is:", 0), 0u);

    // Program Powerup asks first; Cancel posts nothing.
    box.clear();
    box.queue(platform::MsgCancel);
    w.mnuTools[1]->trigger();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Are you sure you will program the powerup state ?");
    EXPECT_EQ(box.shown[0].buttons, platform::MsgOkCancel);
    EXPECT_TRUE(queued().empty());
    box.clear();
    box.queue(platform::MsgOK);
    m.SW_select_Click(1);
    runJobs();
    const int pulses = sim->programPulses();
    w.mnuTools[1]->trigger();
    EXPECT_EQ(queued(), (std::vector<std::string>{"SwitchF:3"}));
    runJobs();
    EXPECT_GT(sim->programPulses(), pulses);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].prompt.rfind("Status on family 12 is:", 0), 0u);

    box.clear();
    shell::jobQueue().Insert_In_JobQue(w, 5, 0LL);
    runJobs();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "No such job in switchF");
}

TEST_F(SwitchWindow, OnlyTheGainPositionsHandTheirSensitivityToTheAmplifier)
{
    auto& m = addSwitch().model();
    shell::jobQueue().reset();
    device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    m.PositionSensitivity = {0, 2.5, 25, 0};
    m.PositionUnit = "mV/V";
    m.SW_select_Click(0);
    m.SW_select_Click(3);
    EXPECT_TRUE(amplifier.calls.empty());
    m.SW_select_Click(2);
    EXPECT_EQ(amplifier.calls, (std::vector<std::string>{"setTsens 25.000000 mV/V", "TsensToPelox"}));
    shell::jobQueue().reset();
}

TEST_F(SwitchWindow, NoTedsWindowSwitchesToBitSwitchesAfterTheSecondTry)
{
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    EXPECT_FALSE(m.mnuMode[1]);
    shell::jobQueue().Insert_In_JobQue(w, 4, 0LL);
    runJobs();
    EXPECT_TRUE(m.mnuMode[1]);
    EXPECT_TRUE(m.DIP_SwitchVisible);
}

TEST_F(SwitchWindow, CaptionsComeFromTheTedsOfTheNodesTedsWindow)
{
    // The memory holds a TEDS of manufacturer 43: its record node reads "TEDS".
    core::resetTdlState();
    std::string error;
    net->removeNode(*RomCode::fromNodeId(kSwitch));
    ASSERT_TRUE(net->loadDescription("node 12:0000003B7A01\ninputs 1 1\n"
                                     "memory 00 F2 2B 80 2D 21 04 A1 86 01" + ffs(23) + "\n" + "memory 20 1F" + ffs(31) + "\n" + "memory 40 1F" + ffs(31) + "\n" + "memory 60 1F" + ffs(31) + "\n",
                                     {}, error))
        << error;
    templateWith("Test switched bridge", {{"Manufacturer ID", ""}, {"User data", ""}, {"Supports multiplexer", ""},
                                          {"Low Gain", "dB"}, {"High Gain", "dB"}, {"Sensitivity @ low gain", "V/V"}});
    auto& t = core::tdlState().Templates[0];
    t.UTIDT = 2;
    t.lengthBits = 64;
    t.fields[0].bitCount = 14;
    t.selectorLast = 0;
    t.selectors[0] = {0, 14, 43};
    FakeTedsFields fields;
    fields.values = {{"User data", {0, "rack 3"}}, {"Supports multiplexer", {0, "No"}}, {"Low Gain", {0, "0"}},
                     {"High Gain", {20, "20"}}, {"Sensitivity @ low gain", {0.002, "2m"}}};
    shell::NodeWindow* asked = nullptr;
    shell::setTedsFieldLookup([&](shell::NodeWindow& w) {
        asked = &w;
        return &fields;
    });
    auto& w = addSwitch();
    auto& m = w.model();
    runJobs();
    EXPECT_EQ(asked, shell::nodesState().TrList.at(0).obj.get());
    EXPECT_EQ(m.SW_select[0], "SwA=0 SwB=0");
    EXPECT_EQ(m.SW_select[1], "SwA=1 SwB=0,  Low Gain 2.00mV/V");
    EXPECT_EQ(m.SW_select[2], "SwA=0 SwB=1,  High Gain 20.00mV/V");
    EXPECT_EQ(m.SW_select[3], "SwA=1 SwB=1,  High Gain (Default setting)");
    EXPECT_TRUE(m.UserDataVisible);
    EXPECT_EQ(m.UserData, "rack 3");
    EXPECT_FALSE(m.mnuMode[1]);
    EXPECT_TRUE(w.ModeSelector->isVisibleTo(&w));
    EXPECT_EQ(w.SW_select[1]->text(), "SwA=1 SwB=0,  Low Gain 2.00mV/V");
}

// The window widens to its title, its position captions and its user data, measured
// with the window's fonts.
TEST_F(SwitchWindow, ShowsItsTitleCaptionsAndUserDataWhole)
{
    auto& w = addSwitch();
    runJobs();
    w.show();
    auto& m = w.model();
    m.ModeSelectorVisible = true;
    m.DIP_SwitchVisible = false;
    m.UserDataVisible = true;
    m.UserData = "rack 3";
    // Each text in turn the widest of the window.
    m.Info1 = "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range, externally powered";
    w.sync();
    testing_support::settleLayouts();
    EXPECT_TRUE(testing_support::showsWhole(*w.Info1)) << w.Info1->width();
    m.UserData = "Rack 3, row 12, left of the door: the second bridge sensor of the test stand, calibrated";
    w.sync();
    testing_support::settleLayouts();
    EXPECT_TRUE(testing_support::showsWhole(*w.UserData)) << w.UserData->width();
    m.SW_select[1] = "SwA=1 SwB=0,  Low Gain 2.00mV/V at the sensitivity of the reference condition, calibrated";
    w.sync();
    testing_support::settleLayouts();
    for (auto* b : w.SW_select)
        EXPECT_TRUE(testing_support::showsWhole(*b)) << b->text().toStdString();
    w.hide();
}

// The window's height follows the frames shown: no empty space below the user data
// after the view changes from the bit switches to the positions and back.
TEST_F(SwitchWindow, HeightFollowsTheFramesShown)
{
    auto& w = addSwitch();
    runJobs();
    w.show();
    auto& m = w.model();
    m.UserDataVisible = true;
    const auto emptyBelow = [&w] { return w.height() - 1 - w.UserData->geometry().bottom(); };
    const int line = QFontMetrics(w.font()).height();
    std::vector<int> heights;
    for (const bool positions : {false, true, false}) {
        m.ModeSelectorVisible = positions;
        m.DIP_SwitchVisible = !positions;
        w.sync();
        testing_support::settleLayouts();
        EXPECT_LT(emptyBelow(), line) << (positions ? "positions" : "bit switches");
        heights.push_back(w.height());
    }
    EXPECT_NE(heights[0], heights[1]);
    EXPECT_EQ(heights[0], heights[2]);
    w.hide();
}

// readSwitchTedsInfo over a table of TEDS contents.
TEST(SwitchGains, PositionCaptionsFromTheGainFields)
{
    struct Case {
        const char* label;
        std::string templateName;
        std::vector<Field> fields;
        std::map<std::string, FieldValue> values;
        bool hasInfo;
        std::array<std::string, 4> captions;  // "" = caption kept
        double low, high;
        std::string unit;
    };
    const std::vector<Field> switched = {{"Supports multiplexer", ""}, {"Default gain", ""}, {"Low Gain", "dB"},
                                         {"High Gain", "dB"}, {"Sensitivity @ ref", "V/V"}};
    const std::vector<Field> linear = {{"Supports multiplexer", ""}, {"Low Gain", "V/V"}, {"High Gain", "V/V"},
                                       {"Sensitivity @ ref", "V/C"}};
    const std::vector<Case> cases = {
        {"dB gains scale the sensitivity by ten per 20 dB", "Bridge", switched,
         {{"Supports multiplexer", {1, ""}}, {"Default gain", {1, ""}}, {"Low Gain", {0, ""}}, {"High Gain", {20, ""}},
          {"Sensitivity @ ref", {0.002, ""}}},
         true,
         {"SwA=0 SwB=0,  Tri-state", "SwA=1 SwB=0,  Low Gain 2.00mV/V", "SwA=0 SwB=1,  High Gain 20.00mV/V",
          "SwA=1 SwB=1,  Low Gain (Default setting)"},
         0.002, 0.02, "V/V"},
        {"linear gains scale by their ratio", "Bridge", linear,
         {{"Supports multiplexer", {0, ""}}, {"Low Gain", {2, ""}}, {"High Gain", {8, ""}}, {"Sensitivity @ ref", {0.5, ""}}},
         true,
         {"SwA=0 SwB=0", "SwA=1 SwB=0,  Low Gain 500.00mV/C", "SwA=0 SwB=1,  High Gain 2.00V/C",
          "SwA=1 SwB=1,  High Gain (Default setting)"},
         0.5, 2.0, "V/C"},
        {"a charge amplifier shows V/pC", "Charge amplifier, switched", linear,
         {{"Supports multiplexer", {1, ""}}, {"Low Gain", {1, ""}}, {"High Gain", {10, ""}}, {"Sensitivity @ ref", {2e9, ""}}},
         true,
         {"SwA=0 SwB=0,  Tri-state", "SwA=1 SwB=0,  Low Gain 2.00mV/pC", "SwA=0 SwB=1,  High Gain 20.00mV/pC",
          "SwA=1 SwB=1,  (Default setting)"},
         2e-3, 2e-2, "V/pC"},
        {"a low gain of 0 shows the gains unscaled", "Bridge", linear,
         {{"Supports multiplexer", {0, ""}}, {"Low Gain", {0, ""}}, {"High Gain", {8, ""}}, {"Sensitivity @ ref", {0.5, ""}}},
         true,
         {"SwA=0 SwB=0", "SwA=1 SwB=0,  Low Gain 0.00V/V", "SwA=0 SwB=1,  High Gain 8.00V/V",
          "SwA=1 SwB=1,  High Gain (Default setting)"},
         0, 8, "V/V"},
        {"no multiplexer and no default gain: the bit switches", "Bridge", {{"Low Gain", "V/V"}, {"High Gain", "V/V"}},
         {{"Low Gain", {1, ""}}, {"High Gain", {2, ""}}}, false, {"", "", "", ""}, 0, 0, ""},
        {"information without both gains keeps the captions", "Bridge", {{"Supports multiplexer", ""}, {"Low Gain", "V/V"}},
         {{"Supports multiplexer", {1, ""}}, {"Low Gain", {1, ""}}}, true, {"", "", "", ""}, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        templateWith(c.templateName, c.fields);
        FakeTedsFields f;
        f.values = c.values;
        const auto info = shell::readSwitchTedsInfo(f);
        EXPECT_EQ(info.hasInfo, c.hasInfo);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(info.captions[i].value_or(""), c.captions[i]) << i;
        EXPECT_DOUBLE_EQ(info.sensitivity[1], c.low);
        EXPECT_DOUBLE_EQ(info.sensitivity[2], c.high);
        EXPECT_EQ(info.unit, c.unit);
        EXPECT_EQ(info.sensitivity[0], 0.0);
        EXPECT_EQ(info.sensitivity[3], 0.0);
    }
    core::resetTdlState();
}

} // namespace
