// The amplifier tool windows as the program opens them: the terminal and the
// serial-number window loaded once (one switch to the amplifier link each) and hidden
// on close, the terminal's log kept over a second opening from the menu, and the download
// window shown modally by the amplifier window's job 7 and released afterwards.

#include "app/amplifiertoolshost.h"
#include "app/amplifierwindowhost.h"

#include "amplifier/peloxf/peloxf.h"
#include "amplifier/toolwindows/peloxdltemplates.h"
#include "amplifier/toolwindows/peloxmaintenancef.h"
#include "amplifier/toolwindows/peloxtest.h"
#include "app/resetallstate.h"
#include "core/tdl/tdlstate.h"
#include "device/base/devicestate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(AmplifierToolsHost, TerminalAndMaintenanceLoadOnceAndHideOnClose)
{
    testing_support::ensureApplication();
    testing_support::FreshState<app::resetAllState> fresh;
    app::AmplifierToolsHost host;
    int switches = 0;
    host.switchToAmplifierLink = [&] { ++switches; };

    host.Pelox_test();
    auto* terminal = host.terminal();
    ASSERT_NE(terminal, nullptr);
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_EQ(terminal->Send_Recieve_Pelox->currentText(), "S_B?");
    EXPECT_EQ(terminal->Send_Recieve_Pelox->count(), 8);
    EXPECT_TRUE(device::deviceState().PeloxTestOpen);
    terminal->model().Text2 = "From Pelox : x\r\n";
    terminal->sync();
    EXPECT_EQ(terminal->Text2->toPlainText(), "From Pelox : x\n");
    terminal->close();
    EXPECT_FALSE(terminal->isVisible());
    host.Pelox_test();
    EXPECT_EQ(host.terminal(), terminal);
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_EQ(terminal->model().Text2, "From Pelox : x\r\n");
    EXPECT_EQ(terminal->Text2->toPlainText(), "From Pelox : x\n");

    host.Pelox_MaintenanceF();
    auto* maintenance = host.maintenance();
    ASSERT_NE(maintenance, nullptr);
    EXPECT_EQ(maintenance->SerialNo->text(), "0000000");
    EXPECT_EQ(maintenance->windowTitle(), "Tedsmith - Pelox Maintenance");
    maintenance->SerialNo->setText("1234567");
    maintenance->close();
    host.Pelox_MaintenanceF();
    EXPECT_EQ(host.maintenance(), maintenance);
    EXPECT_EQ(maintenance->SerialNo->text(), "1234567");
    EXPECT_EQ(switches, 2);
}

TEST(AmplifierToolsHost, DownloadWindowIsModalFromJob7AndReleased)
{
    testing_support::ensureApplication();
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox(box);
    testing_support::FreshState<app::resetAllState> fresh;
    auto& q = shell::jobQueue();
    q.StartJobQue();

    app::AmplifierWindowHost host;
    shell::setAmplifierWindow(&host);
    shell::amplifierWindow().show();
    q.reset();
    q.StartJobQue();
    host.window()->model().mnuTools_Click(0);

    bool sawWindow = false, intakeStopped = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<amplifier::Pelox_DL_Templates*>(QApplication::activeModalWidget());
        sawWindow = w != nullptr;
        intakeStopped = !q.JobsEnabled();
        if (w) {
            EXPECT_EQ(w->windowTitle(), "Tedsmith - Pelox, 6188 Download Templates");
            w->reject();
        }
    });
    q.tick();
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(intakeStopped);
    EXPECT_TRUE(q.JobsEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // An empty library: nothing qualifies.
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"No templates applies !, please exit"});

    shell::amplifierWindow().unload();
    shell::setAmplifierWindow(nullptr);
}

} // namespace
