// The window T_server over its engine: captions, what its controls do, the poll timer
// and the log on show, and the close box.

#include "server/tserver/tserver.h"

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "platform/base/clock.h"
#include "platform/qt/cp1252.h"
#include "shell/jobs/jobqueue.h"
#include "shell/state/shelllayer.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/quietserverhost.h"
#include "tests/support/testsupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The program around the window, and the box the window's own messages go to.
struct Outer final : testing_support::QuietServerHost, platform::MessageBoxService {
    bool mainWindowVisible() override { return mainVisible; }
    void setMainWindowVisible(bool v) override { mainVisible = v; }
    void endProgram() override { ++ended; }
    int show(const std::string& prompt, int, const std::string&) override
    {
        messages.push_back(prompt);
        return 0;
    }
    bool mainVisible = true;
    int ended = 0;
    std::vector<std::string> messages;
};

class TServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
    void SetUp() override
    {
        core::coreState().ProgramFolder = dir.path();
        core::coreState().IniPath = dir / "settings.txt";
        shell::jobQueue().StartJobQue();
    }
    testing_support::FreshState<shell::resetShellLayer> fresh;
    testing_support::TempDir dir;
    Outer outer;
};

TEST_F(TServerTest, ShowsTheSettingsAndSwitchesThePollTimer)
{
    core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "T-block workdir", dir.path().string());
    core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "T-block pooltime", "0,25");
    server::T_server w(outer, outer);
    w.showServer();
    EXPECT_EQ(w.windowTitle(), "Tedsmith - T-block server");
    EXPECT_EQ(w.workdir->text().toStdString(), dir.path().string() + "/");
    EXPECT_EQ(w.PoolTime->text(), "0.3");
    EXPECT_EQ(w.PoolTime->toolTip(), "0.1 sec to 65.5 sec");
    EXPECT_EQ(w.T_block_Server->text(), "Enable server");
    EXPECT_FALSE(w.T_block_Server->isChecked());
    EXPECT_FALSE(w.ServerTimer->isActive());
    QTest::mouseClick(w.T_block_Server, Qt::LeftButton);
    EXPECT_TRUE(w.ServerTimer->isActive());
    EXPECT_EQ(w.ServerTimer->interval(), 250);
    EXPECT_TRUE(w.engine.suppressing());
    // A typed time is applied while typing and shown in its committed form afterwards.
    w.PoolTime->setFocus();
    w.PoolTime->clear();
    QTest::keyClicks(w.PoolTime, "2,5");
    EXPECT_EQ(w.ServerTimer->interval(), 2500);
    QTest::keyClick(w.PoolTime, Qt::Key_Return);
    EXPECT_EQ(w.PoolTime->text(), "2.5");
    QTest::mouseClick(w.T_block_Server, Qt::LeftButton);
    EXPECT_FALSE(w.ServerTimer->isActive());
}

TEST_F(TServerTest, LogButtonsAndTheCloseBox)
{
    server::T_server w(outer, outer);
    w.showServer();
    w.engine.WorkingDir = dir.path().string() + "/";
    w.engine.addLog("first");
    w.engine.addLog("second");
    EXPECT_EQ(w.status->toPlainText(), "first\nsecond\n");
    // Lines are appended, and the box keeps the log's last ones.
    for (std::size_t i = 0; i < server::kLogLinesMax + 500; ++i)
        w.engine.addLog("line " + std::to_string(i));
    EXPECT_LE(w.status->blockCount(), static_cast<int>(server::kLogLinesMax) + 1);
    EXPECT_TRUE(w.status->toPlainText().endsWith(
        QString::fromStdString("line " + std::to_string(server::kLogLinesMax + 499) + "\n")));
    QTest::mouseClick(w.cbClearLog, Qt::LeftButton);
    EXPECT_TRUE(w.status->toPlainText().isEmpty());
    QTest::mouseClick(w.acknowledge, Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(dir / "TEDS_ack.txt"));
    w.chooseFile = [](const std::string& title, const std::string&) -> std::optional<std::string> {
        EXPECT_EQ(title, "Select working directory for T-block server");
        return "/tmp/requests/TEDS_req.txt";
    };
    QTest::mouseClick(w.Browse, Qt::LeftButton);
    EXPECT_EQ(w.workdir->text(), "/tmp/requests/");
    // Unticking "TEDS editor visible" hides the main window; closing then ends the program.
    QTest::mouseClick(w.EditorVisible, Qt::LeftButton);
    EXPECT_FALSE(outer.mainVisible);
    w.close();
    EXPECT_EQ(outer.ended, 1);
    std::string saved;
    core::Inifile_Read_String_Value(core::coreState().IniPath, "T-block workdir", saved);
    EXPECT_EQ(saved, "/tmp/requests/");
    EXPECT_FALSE(w.engine.loaded);
}

} // namespace
