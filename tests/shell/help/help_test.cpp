// Help pages per topic and the F1 key.

#include "core/base/corestate.h"
#include "core/state/corelayer.h"
#include "platform/base/scopedhook.h"
#include "shell/help/help.h"
#include "shell/help/helpwindow.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Help : public ::testing::Test {
protected:
    Help()
    {
        core::coreState().ProgramFolder = dir.path();
    }

    testing_support::FreshState<core::resetCoreLayer> fresh;
    testing_support::TempDir dir;
    std::vector<std::string> opened;
    platform::ScopedHook<std::function<bool(const std::string&)>> opener{&shell::setHelpOpener, [this](const std::string& url) {
                                                                             opened.push_back(url);
                                                                             return true;
                                                                         }};
};

TEST_F(Help, WithoutTheFolderNothingOpens)
{
    EXPECT_FALSE(shell::helpAvailable());
    EXPECT_FALSE(shell::showHelp(43));
    EXPECT_TRUE(opened.empty());
}

TEST_F(Help, ATopicOpensItsPageOrTheIndex)
{
    dir.write("help/topic-43.html", "<html></html>");
    dir.write("help/index.html", "<html></html>");
    EXPECT_TRUE(shell::showHelp(43));
    EXPECT_TRUE(shell::showHelp(99));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "file://" + (dir.path() / "help" / "topic-43.html").string());
    EXPECT_EQ(opened[1], "file://" + (dir.path() / "help" / "index.html").string());
}

TEST_F(Help, TheShippedFolderHasAPageForEveryWindowTopic)
{
    core::coreState().ProgramFolder = testing_support::dataDir();
    for (int topic : {10, 14, 18, 20, 23, 24, 28, 29, 31, 33, 35, 36, 38, 40, 42, 43, 44})
        EXPECT_EQ(shell::helpPage(topic).filename().string(), "topic-" + std::to_string(topic) + ".html");
}

TEST_F(Help, WithoutAnOpenerThePageShowsInTheProgramsHelpWindowWithItsLinks)
{
    testing_support::ensureApplication();
    shell::setHelpOpener({});
    core::coreState().ProgramFolder = testing_support::dataDir();
    ASSERT_TRUE(shell::showHelp(36));
    shell::HelpWindow* w = shell::currentHelpWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle().toStdString(), "Tedsmith - TEDS window");
    EXPECT_EQ(w->browser->source().fileName().toStdString(), "topic-36.html");
    EXPECT_NE(w->browser->toPlainText().indexOf("Shows the TEDS of one node"), -1);

    // The page's link "All topics", clicked where it stands.
    w->resize(640, 480);
    QApplication::processEvents();
    QTextCursor at = w->browser->document()->find("All topics");
    ASSERT_FALSE(at.isNull());
    at.setPosition(at.selectionStart() + 2);
    const QPoint spot = w->browser->cursorRect(at).center();
    QTest::mouseClick(w->browser->viewport(), Qt::LeftButton, {}, spot);
    EXPECT_EQ(w->browser->source().fileName().toStdString(), "index.html");
    EXPECT_EQ(w->windowTitle().toStdString(), "Tedsmith help");
    EXPECT_TRUE(w->backButton->isEnabled());
    w->backButton->click();
    EXPECT_EQ(w->browser->source().fileName().toStdString(), "topic-36.html");
    w->topicsButton->click();
    EXPECT_EQ(w->browser->source().fileName().toStdString(), "index.html");

    // The next topic comes up in the same window.
    EXPECT_TRUE(shell::showHelp(43));
    EXPECT_EQ(shell::currentHelpWindow(), w);
    EXPECT_EQ(w->browser->source().fileName().toStdString(), "topic-43.html");
    shell::releaseHelpWindow();
    EXPECT_EQ(shell::currentHelpWindow(), nullptr);
}

TEST_F(Help, F1OpensTheTopicOfTheActiveWindow)
{
    testing_support::ensureApplication();
    dir.write("help/topic-44.html", "<html></html>");
    qApp->installEventFilter(shell::newHelpKeyFilter(qApp));
    QWidget window;
    window.setProperty("HelpContextID", 44);
    auto* edit = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("topic-44.html"), std::string::npos);
    EXPECT_EQ(shell::helpTopicOf(edit), 44);
}

} // namespace
