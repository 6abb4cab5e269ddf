// The main window's File, Tools, Debug and Help menus and the volume bar.

#include "tests/shell/mainwindow/mainffixture.h"

#include "shell/infodialogs/about.h"
#include "shell/infodialogs/generalinfo.h"

#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace mainf_test {
namespace {

using shell::kDriverCaptions;

class MainFMenusTest : public MainFTest {
protected:
    // Closes the modal dialog that opens next, noting its title and whether job intake
    // was stopped while it was open.
    void closeNextDialog()
    {
        QTimer::singleShot(0, [this] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            dialogTitle = d->windowTitle().toStdString();
            intakeWhileOpen = shell::jobQueue().JobsEnabled();
            if (auto* files = d->findChild<QPlainTextEdit*>("Files_loaded"))
                filesText = files->toPlainText().toStdString();
            d->reject();
        });
    }
    std::string dialogTitle;
    std::string filesText;
    bool intakeWhileOpen = true;
};

TEST_F(MainFMenusTest, ItemsAndWhatIsEnabledBeforeTheirWindowsExist)
{
    formLoad();
    auto caption = [](QAction* a) { return a->text().toStdString(); };
    EXPECT_EQ(caption(main->mnufile[0]), "Read TEDS");
    EXPECT_EQ(caption(main->mnufile[1]), "Exit");
    EXPECT_EQ(caption(main->mnuTools[4]), "Compile Description file");
    EXPECT_EQ(caption(main->mnuDebug[2]), "Trace ");
    EXPECT_EQ(caption(main->mnuDebug[3]), "Read Err? after send");
    EXPECT_EQ(caption(main->mnuDebug[4]), "Mixer info to  trace window");
    EXPECT_EQ(caption(main->mnuhelp[0]), "press F1 to get help");
    EXPECT_EQ(caption(main->mnuhelp[1]), "General information");
    EXPECT_EQ(caption(main->mnuhelp[2]), "About Tedsmith");
    // File and Tools wait for an interface; windows not registered leave their items off.
    EXPECT_FALSE(main->mFile->isEnabled());
    EXPECT_FALSE(main->mTools->isEnabled());
    EXPECT_FALSE(main->mnufile[0]->isEnabled());
    EXPECT_FALSE(main->mnuTools[0]->isEnabled());
    EXPECT_FALSE(main->mnuTools[4]->isEnabled());
    EXPECT_TRUE(main->mnuTools[2]->isEnabled());
    EXPECT_TRUE(main->mnuTools[5]->isEnabled());
    EXPECT_FALSE(main->mnuDebug[1]->isEnabled());
    int compiles = 0;
    menus.actions[shell::MenuWindow::CompileDescription] = [&] {
        ++compiles;
        EXPECT_FALSE(shell::jobQueue().JobsEnabled());
    };
    main->showState();
    EXPECT_TRUE(main->mnuTools[4]->isEnabled());
    main->mnuTools[4]->trigger();
    EXPECT_EQ(compiles, 1);
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
}

TEST_F(MainFMenusTest, TraceAndReadErrToggle)
{
    formLoad();
    std::vector<bool> traceCalls;
    menus.trace = [&](bool on) { traceCalls.push_back(on); };
    core::setTraceOn(false);
    main->mnuDebug[2]->trigger();
    EXPECT_TRUE(core::traceOn());
    EXPECT_TRUE(main->mnuDebug[2]->isChecked());
    main->mnuDebug[2]->trigger();
    EXPECT_FALSE(core::traceOn());
    main->mnuDebug[2]->trigger();
    // The window's own close box unticks the item.
    main->traceWindowClosed();
    EXPECT_FALSE(main->mnuDebug[2]->isChecked());
    EXPECT_FALSE(core::traceOn());
    EXPECT_EQ(traceCalls, (std::vector<bool>{true, false, true}));

    main->mnuDebug[3]->trigger();
    EXPECT_TRUE(device::deviceState().ErrAfterSend);
    EXPECT_TRUE(main->mnuDebug[3]->isChecked());
    main->mnuDebug[3]->trigger();
    EXPECT_FALSE(device::deviceState().ErrAfterSend);
}

TEST_F(MainFMenusTest, MixerDumpClosesAndReopensAnOpenMixer)
{
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDemo]);
    formLoad();
    mixer.calls.clear();
    main->mnuDebug[4]->trigger();
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"close", "open 5000 1"}));
    // The volume bar sends its value with the mute box's state.
    mixer.calls.clear();
    main->VolScroll->setValue(7000);
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"set 7000 1"}));
    // Exit: the mixer restores the card and the program ends through the one way out.
    mixer.calls.clear();
    main->mnufile[1]->trigger();
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"close"}));
    EXPECT_EQ(ended, (std::vector<int>{0}));
}

TEST_F(MainFMenusTest, AboutAndGeneralInformationAreModalWithIntakeStopped)
{
    core::coreState().ProgramVersion = "1.2.3";
    formLoad();
    closeNextDialog();
    main->mnuhelp[2]->trigger();
    EXPECT_EQ(dialogTitle, "Tedsmith - About");
    EXPECT_FALSE(intakeWhileOpen);
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    closeNextDialog();
    main->mnuhelp[1]->trigger();
    EXPECT_EQ(dialogTitle, "Tedsmith - General information");
    EXPECT_FALSE(intakeWhileOpen);
}

TEST_F(MainFMenusTest, HelpItemOpensTheMainWindowsTopic)
{
    formLoad();
    std::vector<int> topics;
    main->showHelp = [&](int t) {
        topics.push_back(t);
        return true;
    };
    main->mnuhelp[0]->trigger();
    EXPECT_EQ(topics, (std::vector<int>{10}));
}

} // namespace
} // namespace mainf_test
