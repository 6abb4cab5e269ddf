#include "tests/shell/mainwindow/mainffixture.h"

#include "sim/onewire/simthermometer.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QAbstractButton>

namespace mainf_test {
namespace {

using platform::sim::RomCode;

// Clicks a button on its indicator, as a user would.
void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }

class MainFScanTest : public MainFTest {
protected:
    MainFScanTest()
    {
        network()->addNode(platform::sim::makeNode(RomCode::make(0x10, 0x080C1A22)));
        network()->addNode(platform::sim::makeNode(RomCode::make(0x01, 0x0A0B0C)));
    }
    // Loads the window and chooses the demo adaptor on Com1 through the Setup menu.
    void chooseDemoAndActivate()
    {
        formLoad();
        main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        main->mnuIF_p_Com[1]->trigger();
        main->mnuIF_p_Driver[shell::kDriverDemo]->trigger();
        main->MnuSetupIF[0]->trigger();
    }
};

TEST_F(MainFScanTest, ActivatingTheDemoNetworkFillsTheTree)
{
    chooseDemoAndActivate();
    EXPECT_FALSE(main->MnuSetupIF[0]->isVisible());
    tick();
    EXPECT_TRUE(main->ModeO[1]->isChecked());
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
    EXPECT_TRUE(main->TRTreeView->isEnabled());
    EXPECT_EQ(main->TRTreeView->toolTip(), "press F5 to refresh tree");
    tick();
    EXPECT_EQ(topLevelItems(), 2);
    EXPECT_EQ(shell::TrLast(), 1);
    EXPECT_TRUE(main->SimulatedLabel->isVisible());
    EXPECT_FALSE(main->SimulatedLabel->text().isEmpty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MainFScanTest, F5EmptiesTheTreeAndTheNextScanBringsTheNodesBack)
{
    formLoad();
    main->Form_KeyDown(116, 0);
    EXPECT_EQ(topLevelItems(), 0);

    chooseDemoAndActivate();
    tick();
    tick();
    ASSERT_EQ(topLevelItems(), 2);
    main->Form_KeyDown(115, 0);
    EXPECT_EQ(topLevelItems(), 2);
    main->Form_KeyDown(116, 0);
    EXPECT_EQ(topLevelItems(), 0);
    EXPECT_EQ(shell::TrLast(), -1);
    tick();
    EXPECT_EQ(topLevelItems(), 2);
    EXPECT_EQ(shell::TrLast(), 1);
}

TEST_F(MainFScanTest, PausedScansOnlyInsideJobs)
{
    chooseDemoAndActivate();
    tick();
    click(main->ModeO[0]);
    tick();
    ASSERT_EQ(shell::ifaceState().CommMode, shell::kModePaused);
    main->Form_KeyDown(116, 0);
    tick();
    EXPECT_EQ(topLevelItems(), 0);
    shell::jobQueue().Insert_In_JobQue(*main, 6, 0LL);
    tick();
    EXPECT_EQ(topLevelItems(), 2);
    // Job 1 drops every node and scans again: new items for the same nodes.
    const QTreeWidgetItem* before = main->TRTreeView->topLevelItem(0);
    shell::jobQueue().Insert_In_JobQue(*main, 1, 0LL);
    tick();
    EXPECT_EQ(topLevelItems(), 2);
    EXPECT_NE(main->TRTreeView->topLevelItem(0), before);
}

TEST_F(MainFScanTest, ClickingAModeOptionPostsOnlyOnAChange)
{
    chooseDemoAndActivate();
    tick();
    const int before = shell::jobQueue().JobQueLast();
    click(main->ModeO[1]);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), before);
    EXPECT_TRUE(main->ModeO[1]->isChecked());
    click(main->ModeO[2]);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), before + 1);
    EXPECT_TRUE(main->ModeO[2]->isChecked());
    EXPECT_FALSE(main->ModeO[1]->isChecked());

    mixer.calls.clear();
    const auto start = clock.elapsed();
    tick();
    EXPECT_GE(clock.elapsed() - start, std::chrono::milliseconds(250));
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeAnalog);
    EXPECT_FALSE(main->Vol_mute->isChecked());
    ASSERT_FALSE(mixer.calls.empty());
    EXPECT_EQ(mixer.calls.back(), "set 5000 0");
}

TEST_F(MainFScanTest, TheMuteBoxReachesTheMixer)
{
    chooseDemoAndActivate();
    mixer.calls.clear();
    click(main->Vol_mute);
    EXPECT_FALSE(main->Vol_mute->isChecked());
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"set 5000 0"}));
}

} // namespace
} // namespace mainf_test
