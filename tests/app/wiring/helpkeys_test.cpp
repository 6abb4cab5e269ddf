// F1 and the Help items as a user meets them: F1 on the program's windows shows each window's
// own page in the help window; a topic without a page, a help folder without the page or the
// index and a missing help folder still show something; help over a modal dialog works, and
// stays usable after the dialog hid or went; opening it again and again keeps one window.

#include "app/keptwindowhook.h"
#include "amplifier/peloxf/peloxf.h"
#include "amplifier/toolwindows/peloxmaintenancef.h"
#include "amplifier/toolwindows/peloxtest.h"
#include "app/amplifierwindowhost.h"
#include "app/resetallstate.h"
#include "app/serverbridge.h"
#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "editor/createremap/newremaptemplate.h"
#include "editor/infowindow/tedsinfof.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "shell/help/help.h"
#include "shell/help/helpwindow.h"
#include "shell/jobs/jobqueue.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class HelpKeys : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
        qApp->installEventFilter(shell::newHelpKeyFilter(qApp));
    }
    HelpKeys()
    {
        core::coreState().ProgramFolder = testing_support::dataDir();
        shell::setHelpOpener(nullptr);
    }
    ~HelpKeys() override { shell::releaseHelpWindow(); }
    static void loadLibrary()
    {
        core::resetTdlState();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
    }
    // F1 pressed in w, the active window.
    static void pressF1(QWidget& w)
    {
        w.show();
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        QTest::keyClick(&w, Qt::Key_F1);
    }
    static std::string page()
    {
        auto* h = shell::currentHelpWindow();
        if (!h || !h->isVisible())
            return "<no help window>";
        return fs::path(h->browser->source().toLocalFile().toStdString()).filename().string();
    }
    // Something a user sees: a message, or the help window with a text.
    bool somethingShown() const
    {
        auto* h = shell::currentHelpWindow();
        return !box.shown.empty() || (h && h->isVisible() && !h->browser->toPlainText().trimmed().isEmpty());
    }

    testing_support::FreshState<app::resetAllState> fresh;
};

TEST_F(HelpKeys, EachWindowShowsItsOwnPage)
{
    loadLibrary();
    editor::TedsF teds;
    pressF1(teds);
    EXPECT_EQ(page(), "topic-36.html") << "the TEDS window";
    teds.hide();

    editor::TedsDocument doc;
    editor::NewRemapTemplate dialog;
    dialog.Initiate(0, doc);
    pressF1(dialog);
    EXPECT_EQ(page(), "topic-20.html") << "the create dialog";
    dialog.hide();

    amplifier::Pelox_test terminal;
    terminal.Form_Load();
    pressF1(terminal);
    EXPECT_NE(page(), "<no help window>") << "the terminal";
    terminal.hide();

    editor::TedsInfoF info;
    pressF1(info);
    EXPECT_EQ(page(), "topic-38.html") << "the TEDS information window";
    info.hide();

    shell::jobQueue().reset();
    amplifier::PeloxF amplifierWindow;
    amplifierWindow.Form_Load();
    pressF1(amplifierWindow);
    EXPECT_EQ(page(), "topic-28.html") << "the amplifier window";
    amplifierWindow.hide();

    amplifier::Pelox_MaintenanceF maintenance;
    maintenance.Form_Load();
    pressF1(maintenance);
    EXPECT_EQ(page(), "topic-29.html") << "the maintenance window";
    maintenance.hide();
    shell::jobQueue().reset();

    testing_support::TempDir work;
    core::coreState().IniPath = work / "QT8061_Inifile.txt";
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory windows{others};
    app::KeptWindowHook windowsKept{windows};
    app::AmplifierWindowHost amplifierHost;
    {
        app::ServerBridge server([] { return nullptr; }, windows, amplifierHost);
        server.show();
        pressF1(server.window());
        EXPECT_EQ(page(), "topic-31.html") << "the request server window";
        server.window().hide();
    }
    windows.releaseShared();
}

TEST_F(HelpKeys, AMissingPageFolderOrIndexStillShowsSomething)
{
    // A topic without a page: the index.
    ASSERT_TRUE(shell::showHelp(27));
    EXPECT_EQ(page(), "index.html");

    // A help folder with one page and no index.
    testing_support::TempDir program;
    fs::create_directory(program / "help");
    fs::copy_file(testing_support::dataDir() / "help" / "topic-36.html", program / "help" / "topic-36.html");
    core::coreState().ProgramFolder = program.path();
    shell::releaseHelpWindow();
    box.clear();
    shell::showHelp(27);
    EXPECT_TRUE(somethingShown()) << "a blank help window";
    // The page's link to the missing index.
    shell::showHelp(36);
    ASSERT_EQ(page(), "topic-36.html");
    box.clear();
    shell::currentHelpWindow()->topicsButton->click();
    EXPECT_TRUE(somethingShown());

    // No help folder at all: F1 and Help > "press F1 to get help" show a word.
    testing_support::TempDir bare;
    core::coreState().ProgramFolder = bare.path();
    shell::releaseHelpWindow();
    box.clear();
    shell::showHelp(36);
    EXPECT_TRUE(somethingShown()) << "nothing visible without a help folder";
    box.clear();
    QWidget w;
    w.setProperty("HelpContextID", 36);
    pressF1(w);
    EXPECT_TRUE(somethingShown()) << "F1 shows nothing without a help folder";
}

TEST_F(HelpKeys, HelpOverAModalDialogAndAfterIt)
{
    QWidget main;
    main.setProperty("HelpContextID", 10);
    main.show();
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "dialog destroyed" : "dialog hidden");
        auto* dialog = new QDialog(&main);
        dialog->setProperty("HelpContextID", 20);
        bool usable = false;
        QTimer::singleShot(0, dialog, [&] {
            pressF1(*dialog);
            auto* h = shell::currentHelpWindow();
            // The help window takes input over the modal dialog: a click on its button works.
            if (h && h->isVisible()) {
                QTest::mouseClick(h->topicsButton, Qt::LeftButton);
                usable = page() == "index.html";
            }
            dialog->hide();
        });
        dialog->exec();
        EXPECT_TRUE(usable);
        if (destroy)
            delete dialog;
        box.clear();
        pressF1(main);
        EXPECT_EQ(page(), "topic-10.html");
        if (!destroy)
            delete dialog;
    }
}

TEST_F(HelpKeys, OpeningAgainKeepsOneWindow)
{
    shell::showHelp(36);
    auto* first = shell::currentHelpWindow();
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 50; ++i) {
        first->close();
        shell::showHelp(i % 2 ? 36 : 20);
    }
    EXPECT_EQ(shell::currentHelpWindow(), first);
    EXPECT_TRUE(first->isVisible());
    int helpWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        helpWindows += qobject_cast<shell::HelpWindow*>(w) != nullptr;
    EXPECT_EQ(helpWindows, 1);
}

} // namespace
