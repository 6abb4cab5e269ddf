#include "core/base/corestate.h"
#include "core/state/corelayer.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "core/base/message.h"
#include "editor/compiledialog/expanddefine.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::readAll;

namespace {


class ExpandDefineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
    void SetUp() override { core::coreState().ProgramFolder = dir.path(); }

    testing_support::FreshState<core::resetCoreLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(ExpandDefineTest, StartsInTheProgramFolderAndShowsTheFileNames)
{
    editor::ExpandDefine w;
    EXPECT_EQ(w.workdir->text().toStdString(), dir.path().string() + "/");
    EXPECT_TRUE(w.DescriptionFileName->text().isEmpty());
    EXPECT_TRUE(w.Inputfiles->text().isEmpty());
    w.DescriptionFileName->setText("Lib");
    EXPECT_EQ(w.Inputfiles->text(), "Lib.hdl; Lib.ddl");
    EXPECT_EQ(w.OutputFiles->text(), "Lib.tdl");
}

TEST_F(ExpandDefineTest, BrowseTakesFolderAndBaseName)
{
    editor::ExpandDefine w;
    std::string askedTitle, askedFilter, askedFile;
    w.setOpenFileDialog([&](const std::string& title, const std::string& filter, const std::string&,
                            const std::string& file) -> std::optional<std::string> {
        askedTitle = title;
        askedFilter = filter;
        askedFile = file;
        return std::string("/some/where/My.Lib.ddl");
    });
    w.DescriptionFileName->setText("Old");
    QTest::mouseClick(w.Browse, Qt::LeftButton);
    EXPECT_EQ(askedTitle, "Select Description file to compile");
    EXPECT_EQ(askedFilter, "Description file (*.ddl) | *.ddl");
    EXPECT_EQ(askedFile, "Old.ddl");
    EXPECT_EQ(w.folder(), "/some/where/");
    EXPECT_EQ(w.workdir->text(), "/some/where/");
    EXPECT_EQ(w.DescriptionFileName->text(), "My.Lib");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ExpandDefineTest, BrowseCancelAndBadNames)
{
    editor::ExpandDefine w;
    std::optional<std::string> answer;
    w.setOpenFileDialog([&](auto&&...) { return answer; });
    QTest::mouseClick(w.Browse, Qt::LeftButton);  // cancel
    EXPECT_TRUE(box.shown.empty());
    for (const char* bad : {"nofolder.ddl", "/folder/noextension"}) {
        answer = bad;
        QTest::mouseClick(w.Browse, Qt::LeftButton);
    }
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "Error in filename");
    EXPECT_EQ(w.folder(), dir.path().string() + "/");
}

TEST_F(ExpandDefineTest, CompileWritesTheTdlAndCloses)
{
    dir.write("Lib.ddl", "Description Language Version 0.2.6\r\nTEMPLATE T\r\nUTIDT 2\r\nENDTEMPLATE\r\n");
    editor::ExpandDefine w;
    w.show();
    w.DescriptionFileName->setText("Lib");
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const auto text = readAll(dir / "Lib.tdl");
    EXPECT_NE(text.find("UTID  2 \r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nValidation_keycode "), std::string::npos);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ExpandDefineTest, CompileWithoutSourceReportsAndCloses)
{
    editor::ExpandDefine w;
    w.show();
    w.DescriptionFileName->setText("Missing");
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("No description file found: ", 0), 0u) << box.shown[0].prompt;
    EXPECT_FALSE(std::filesystem::exists(dir / "Missing.tdl"));
}

} // namespace
