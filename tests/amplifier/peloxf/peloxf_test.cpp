// The amplifier window over its model, offscreen, with a simulated chain on the
// in-memory line (virtual time).

#include "../model/chainline.h"

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/peloxf/peloxf.h"
#include "device/base/devicestate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/kit/scriptedmessagebox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform::sim;

namespace {

class PeloxFTest : public ::testing::Test {
protected:
    PeloxFTest() { shell::jobQueue().StartJobQue(); }

    void runJobs()
    {
        auto& q = shell::jobQueue();
        while (q.JobQueLast() >= 0)
            q.Do_and_remove_job();
    }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
    chain_line::MemoryLine line;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox boxScope{box};
    struct App {
        App() { testing_support::ensureApplication(); }
    } app;
    amplifier::PeloxF w;
};

TEST_F(PeloxFTest, ShowsTheChainAfterItsFirstJob)
{
    AmplifierSimConfig c;
    std::string error;
    ASSERT_TRUE(parseAmplifierSimConfig("amplifier Type 6180\nserial 11\nchannels 2\namplifier ZQ6188A\nserial 12\n",
                                        "/", c, error));
    line.start(c);
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.windowTitle(), "Tedsmith - Control Pelox, 6188");
    EXPECT_EQ(w.mnuPelox->text(), "Read");
    EXPECT_EQ(w.mnuMode[0]->text(), "Plug && Play");
    EXPECT_FALSE(w.mnuMode[2]->isVisible());
    EXPECT_FALSE(w.mnuTools[0]->isEnabled());
    EXPECT_EQ(w.Modetext->text(), "Manual");
    EXPECT_EQ(w.Peloxunit->count(), 9);
    runJobs();

    ASSERT_EQ(w.PeloxTreeView->topLevelItemCount(), 2);
    const auto* root1 = w.PeloxTreeView->topLevelItem(0);
    EXPECT_EQ(root1->text(0), "Amplifier 1: Type 6180 Serial no.: 11");
    ASSERT_EQ(root1->childCount(), 2);
    EXPECT_EQ(root1->child(1)->text(0), "2: Coravex, unit: V/V");
    EXPECT_EQ(w.PeloxTreeView->topLevelItem(1)->childCount(), 16);
    EXPECT_EQ(w.PeloxTreeView->currentItem(), root1);
    EXPECT_EQ(w.SelectedPelox->text(), "Amplifier: 1");
    EXPECT_EQ(w.SelectedChannel->text(), "no channel selected");
    EXPECT_TRUE(w.mnuTools[0]->isEnabled());
    EXPECT_EQ(w.Sens2Pelox->text(), "Update Pelox");
    EXPECT_FALSE(w.ReadTeds->isEnabled());

    // A click on a channel posts job 4; the job selects it.
    auto* ch2 = root1->child(1);
    const QRect r = w.PeloxTreeView->visualItemRect(ch2);
    QTest::mouseClick(w.PeloxTreeView->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(shell::jobQueue().JobQueLast(), 0);
    EXPECT_EQ(shell::jobQueue().head().subno, 4);
    shell::jobQueue().Do_and_remove_job();
    EXPECT_EQ(w.channel->text(), "2");
    EXPECT_EQ(w.SelectedChannel->text(), "Coravex");
    EXPECT_TRUE(w.Sens2Pelox->isEnabled());
    EXPECT_EQ(device::deviceState().SelectedChannel, 2);
}

TEST_F(PeloxFTest, ModeMenuAndCloseOnlyHides)
{
    w.Form_Load();
    w.show();
    w.mnuMode[0]->trigger();
    EXPECT_EQ(w.Modetext->text(), "Plug & Play");
    EXPECT_TRUE(w.mnuMode[0]->isChecked());
    EXPECT_FALSE(w.mnuMode[1]->isChecked());
    w.close();
    EXPECT_FALSE(w.isVisible());
    w.show();
    EXPECT_EQ(w.Modetext->text(), "Plug & Play");
    EXPECT_EQ(w.model().ModeIndex, 0);
}

} // namespace
