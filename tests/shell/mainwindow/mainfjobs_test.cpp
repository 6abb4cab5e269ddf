#include "tests/shell/mainwindow/mainffixture.h"

#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QCheckBox>

#include <algorithm>
#include <stdexcept>

namespace mainf_test {
namespace {

using shell::kDriverCaptions;

class MainFJobsTest : public MainFTest {};

TEST_F(MainFJobsTest, UnknownJobNumbersShowAPlainMessage)
{
    formLoad();
    auto& q = shell::jobQueue();
    q.Insert_In_JobQue(*main, 0, 0LL);
    q.Insert_In_JobQue(*main, 10, 0LL);
    tick();
    ASSERT_EQ(box.shown.size(), 2u);
    for (const auto& m : box.shown) {
        EXPECT_EQ(m.prompt, "No such job in MainF");
        EXPECT_EQ(m.buttons, 0);
        EXPECT_EQ(m.title, "");
    }
    EXPECT_EQ(q.JobQueLast(), -1);
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::None);
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModePaused);
}

TEST_F(MainFJobsTest, ServerStartRunsAfterTheActivationJobs)
{
    network();
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDS9097E]);
    setting("IF Active at startup", "1");
    setting("T-block Server Active at startup", "1");
    formLoad();
    main->postInitialize();
    tick();
    EXPECT_EQ(doneJobs(), (std::vector<std::string>{"MainF:9", "MainF:5", "MainF:8", "MainF:2", "MainF:2",
                                                     "MainF:4", "MainF:8"}));
    EXPECT_EQ(server.calls, (std::vector<std::string>{"show"}));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MainFJobsTest, AtMostOneServerStartWaits)
{
    network();
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDS9097E]);
    setting("T-block Server Active at startup", "1");
    formLoad();
    main->iface().ActivateIF();
    main->iface().ActivateIF();
    const auto& que = shell::jobQueue().JobQue();
    EXPECT_EQ(std::count_if(que.begin(), que.end(), [](const auto& e) { return e.subno == 8; }), 1);
    tick();
    // Each time job 8 goes behind the waiting jobs it is the only job 8 in the queue.
    EXPECT_EQ(doneJobs(), (std::vector<std::string>{"MainF:5", "MainF:8", "MainF:5", "MainF:2", "MainF:2", "MainF:4",
                                                     "MainF:8", "MainF:2", "MainF:2", "MainF:4", "MainF:8"}));
    EXPECT_EQ(server.calls, (std::vector<std::string>{"show"}));
}

TEST_F(MainFJobsTest, StartupWithoutTheInterfaceItemPostsNothing)
{
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDS9097E]);
    formLoad();
    main->postInitialize();
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
}

TEST_F(MainFJobsTest, AFailingJobIsRemovedAndReportedOnce)
{
    formLoad();
    core::coreState().SwitchNodeId = "5A0000000123AB12";
    main->iface().modes.Set_PIO_fam12 = [](const std::string&, bool, bool) {
        throw std::runtime_error("switch node did not answer");
    };
    shell::jobQueue().Insert_In_JobQue(*main, 2, 1LL);
    tick();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("switch node did not answer"), std::string::npos);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    tick();
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MainFJobsTest, LoadWithComPortButNoInterfaceDisablesActivation)
{
    setting("Com port", "2");
    setting("IF Active at startup", "1");
    setting("T-block Server Active at startup", "1");
    formLoad();
    EXPECT_FALSE(main->MnuSetupIF[0]->isEnabled());
    for (int i = 1; i <= 2; ++i) {
        EXPECT_FALSE(main->mnuIF_p_startup[i]->isEnabled());
        EXPECT_FALSE(main->mnuIF_p_startup[i]->isChecked());
    }
    EXPECT_TRUE(main->mnuIF_p_Com[2]->isChecked());
    EXPECT_TRUE(main->MnuSetupIF[1]->isEnabled());
    EXPECT_FALSE(main->MnuSetupIF[4]->isVisible());
    EXPECT_EQ(main->TRTreeView->toolTip(), "No interface selected");
    for (auto* o : main->ModeO)
        EXPECT_FALSE(o->isEnabled());
    EXPECT_FALSE(main->mFile->isEnabled());
    EXPECT_TRUE(main->obSpeed[0]->isChecked());
    EXPECT_EQ(main->HelpContextID, 10);
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
}

TEST_F(MainFJobsTest, LoadWithTheDemoAdaptorShowsTheSoundControls)
{
    setting("Com port", "3");
    setting("Interface", kDriverCaptions[shell::kDriverDemo]);
    setting("ComSpeed", "7");
    formLoad();
    EXPECT_EQ(main->MnuSetupIF[0]->text(), "Activate interface :  Z&Q Demo adaptor type RV3308");
    EXPECT_TRUE(main->MnuSetupIF[0]->isEnabled());
    EXPECT_TRUE(main->mnuIF_p_Driver[shell::kDriverDemo]->isChecked());
    EXPECT_FALSE(main->mnuIF_p_Driver[shell::kDriverDefault]->isVisible());
    EXPECT_TRUE(main->obSpeed[1]->isChecked());
    EXPECT_EQ(main->VolScroll->value(), 5000);
    EXPECT_TRUE(main->Vol_mute->isChecked());
    EXPECT_FALSE(main->ModeO[2]->isHidden());
    EXPECT_FALSE(main->Vol_mute->isHidden());
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"open 5000 1", "set 5000 1"}));
    // Search sessions lay the panel out again and leave the mixer alone.
    main->Set_CommModeWindow();
    main->Set_CommModeWindow();
    EXPECT_EQ(mixer.calls.size(), 2u);
}

TEST_F(MainFJobsTest, UnloadTEDSHidesTheWindowAndDropsItsJobs)
{
    struct Window final : shell::NodeWindow {
        bool* hidden;
        bool* destroyed;
        int* jobs;
        Window(bool* h, bool* d, int* j) : hidden(h), destroyed(d), jobs(j) {}
        ~Window() override { *destroyed = true; }
        void Inititiate(int) override {}
        void reqShow() override {}
        bool Visible() const override { return !*hidden; }
        void DoJob() override { ++*jobs; }
        std::string name() const override { return "TedsF"; }
        void onUnload() override { *hidden = true; }
    };
    bool hidden = false, destroyed = false;
    int jobs = 0;
    formLoad();
    std::unique_ptr<shell::NodeWindow> w = std::make_unique<Window>(&hidden, &destroyed, &jobs);
    shell::jobQueue().Insert_In_JobQue(*w, 1, 0LL);
    main->UnloadTEDS(w);
    EXPECT_EQ(w, nullptr);
    EXPECT_TRUE(hidden);
    tick();
    EXPECT_EQ(jobs, 0);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    shell::collectDeferred();
    EXPECT_TRUE(destroyed);
    main->UnloadTEDS(w);  // already empty: nothing happens
    EXPECT_EQ(w, nullptr);
}

TEST_F(MainFJobsTest, AScanErrorIsReportedOncePerActivation)
{
    struct FailingBus final : shell::ScanBus {
        shell::SearchStep findNext() override { throw std::runtime_error("adapter vanished"); }
        std::optional<shell::TemperatureReading> readTemperature(int) override { return std::nullopt; }
    } bus;
    shell::setScanBus(&bus);
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDS9097E]);
    formLoad();
    main->MnuSetupIF[0]->trigger();
    for (int i = 0; i < 3; ++i)
        tick();
    ASSERT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{"Error in Sub 'Doscan'\r\n\r\nError: adapter vanished"}));
    // Choosing another adapter activates it again: the error is news again, once.
    main->mnuIF_p_Driver[shell::kDriverDS9097U]->trigger();
    tick();
    tick();
    EXPECT_EQ(box.shown.size(), 2u);
    shell::setScanBus(nullptr);
}

TEST_F(MainFJobsTest, ModeJobsFromOtherWindows)
{
    formLoad();
    auto& q = shell::jobQueue();
    q.Insert_In_JobQue(*main, 7, 2LL);
    tick();
    EXPECT_TRUE(main->ModeO[2]->isChecked());
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeAnalog);
    EXPECT_EQ(doneJobs(), (std::vector<std::string>{"MainF:7", "MainF:2"}));
}

TEST_F(MainFJobsTest, JobOneCallsTheNodeListGeneratorsUpdate)
{
    formLoad();
    int updates = 0;
    main->UpdateNodes = [&updates] { ++updates; };
    shell::jobQueue().Insert_In_JobQue(*main, 1, 0LL);
    tick();
    EXPECT_EQ(updates, 1);
}

} // namespace
} // namespace mainf_test
