// Help pages per topic and the F1 key.

#include "core/base/corestate.h"
#include "shell/help/help.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Help : public ::testing::Test {
protected:
    Help()
    {
        core::resetCoreState();
        core::coreState().ProgramFolder = dir.path();
        shell::setHelpOpener([this](const std::string& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~Help() override { shell::setHelpOpener({}); }

    testing_support::TempDir dir;
    std::vector<std::string> opened;
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

TEST_F(Help, F1OpensTheTopicOfTheActiveWindow)
{
    testing_support::ensureApplication();
    dir.write("help/topic-44.html", "<html></html>");
    shell::installHelpKey(qApp);
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
