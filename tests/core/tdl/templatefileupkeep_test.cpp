#include "core/base/textfile.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/validation/validation.h"
#include "tests/core/tdl/tdltestenv.h"

#include <gtest/gtest.h>

using testing_support::readAll;
using tdltest::crlf;
namespace fs = std::filesystem;

namespace {

class UpkeepTest : public tdltest::TdlTest {};

TEST_F(UpkeepTest, RewriteWritesTheUtidLinesByteForByte)
{
    const auto p = writeTdl("U.tdl", "TEMPLATE T\n* a comment stays\nUTIDT 2\nSELECTOR 14,45\nENDTEMPLATE\nEND\n");
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));  // the file had no UTID line
    const std::string expected = crlf(std::string(core::kDescriptionLanguageVersion) +
                                      "\nTEMPLATE T\nUTID  722 \nUTIDT  2 \nUGID  722 \n* a comment stays\n"
                                      "SELECTOR 14,45\nENDTEMPLATE\nEND\n");
    EXPECT_EQ(readAll(p), expected);
    EXPECT_TRUE(box.shown.empty());

    // The rewritten file passes and a second rewrite changes nothing.
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, true));
    EXPECT_EQ(readAll(p), expected);

    // The parser reads the same UTID and UGID.
    core::ParseTemplateFile("U.tdl");
    EXPECT_EQ(T(0).UTID.text(), "722");
    EXPECT_EQ(T(0).UGID.text(), "722");
}

TEST_F(UpkeepTest, MatchingFileKeepsItsLinesWithUtidMovedBehindTemplate)
{
    const auto p = writeTdl("M.tdl",
                            "* head\nTEMPLATE A\nUGID 5\n%MODEL,\"m\",ID,4,UNINT,\"0\"\nMATCH 0,4,3\nUTIDT 1\nUTID 49\n"
                            "ENDTEMPLATE\n");
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, true));
    EXPECT_EQ(readAll(p), crlf(std::string(core::kDescriptionLanguageVersion) +
                               "\n* head\nTEMPLATE A\nUTID  49 \nUTIDT  1 \nUGID 5\n%MODEL,\"m\",ID,4,UNINT,\"0\"\n"
                               "MATCH 0,4,3\nENDTEMPLATE\n"));
}

TEST_F(UpkeepTest, WrongUtidLineIsFoundAndRepaired)
{
    const auto p = writeTdl("W.tdl", "TEMPLATE A\nUTID 7\nUTIDT 2\nSELECTOR 2,1\nENDTEMPLATE\nTEMPLATE B\nUTID 2\nUTIDT 2\nENDTEMPLATE\n");
    EXPECT_FALSE(core::UpdateUTIDInFile(p, false));
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    core::ParseTemplateFile("W.tdl");
    EXPECT_EQ(T(0).UTID.text(), "18");
    EXPECT_EQ(T(1).UTID.text(), "2");
}

TEST_F(UpkeepTest, IndentedSelectorLinesCountAsInTheParser)
{
    const auto p = writeTdl("I.tdl", "TEMPLATE T\n\tUTIDT 2\n\t\tSELECTOR 14,45\n  SELECTOR 1,1\nENDTEMPLATE\n");
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    core::ParseTemplateFile("I.tdl");
    EXPECT_EQ(T(0).UTID.text(), std::to_string(2 + 45 * 16 + (1 << 18)));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(UpkeepTest, MissingUtidtDefaultsAsInTheParser)
{
    const auto p = writeTdl("N.tdl", "TEMPLATE A\nSELECTOR 4,3\nENDTEMPLATE\n");
    core::UpdateUTIDInFile(p, true);
    EXPECT_EQ(readAll(p), crlf(std::string(core::kDescriptionLanguageVersion) +
                               "\nTEMPLATE A\nUTID  48 \nUTIDT  0 \nUGID  48 \nSELECTOR 4,3\nENDTEMPLATE\n"));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    core::ParseTemplateFile("N.tdl");
    EXPECT_EQ(T(0).UTID.text(), "48");
}

TEST_F(UpkeepTest, ErrorsAreReportedAndLeaveTheFileUntouched)
{
    const std::string body = "TEMPLATE A\nUTIDT 2\nUTID 2\nENDTEMPLATE\nTEMPLATE B\nSELECTOR x,1\nENDTEMPLATE\n";
    const auto p = writeTdl("E.tdl", body);
    const std::string before = readAll(p);
    EXPECT_FALSE(core::UpdateUTIDInFile(p, false));
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    EXPECT_EQ(readAll(p), before);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "Error reading file: " + p.string() + ", please report to " + core::SupportAddress());
    EXPECT_EQ(box.shown[1].prompt,
              "Error updating UTID in file: " + p.string() + ", please report to " + core::SupportAddress());

    EXPECT_FALSE(core::UpdateUTIDInFile(dir / "missing.tdl", false));
    EXPECT_EQ(box.shown.size(), 3u);
}

TEST_F(UpkeepTest, UnfinishedTemplateKeepsItsLines)
{
    const auto p = writeTdl("O.tdl", "TEMPLATE A\nUTIDT 2\nSELECTOR 2,1\nENDTEMPLATE\n"
                                     "TEMPLATE Open\nUTID 5\nUTIDT 3\nSELECTOR 2,1\nValidation_keycode 1\n");
    core::UpdateUTIDInFile(p, true);
    const std::string expected = crlf(std::string(core::kDescriptionLanguageVersion) +
                                      "\nTEMPLATE A\nUTID  18 \nUTIDT  2 \nUGID  18 \nSELECTOR 2,1\nENDTEMPLATE\n"
                                      "TEMPLATE Open\nUTID 5\nUTIDT 3\nSELECTOR 2,1\nValidation_keycode 1\n");
    EXPECT_EQ(readAll(p), expected);
    core::UpdateUTIDInFile(p, true);
    EXPECT_EQ(readAll(p), expected);
    EXPECT_TRUE(box.shown.empty());
}

// 15-digit UTIDs are exact from the sum through the written line to both readers.
TEST_F(UpkeepTest, FifteenDigitUtidsSurviveTheRoundTrip)
{
    const std::string big = "UTIDT 2\nSELECTOR 31,2147483647\nSELECTOR 8,25000\nENDTEMPLATE\n";  // 859027818938354
    const auto p = writeTdl("Big.tdl", "TEMPLATE Big\n" + big);
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    EXPECT_NE(readAll(p).find("\r\nUTID  859027818938354 \r\n"), std::string::npos);
    core::ParseTemplateFile("Big.tdl");
    EXPECT_EQ(T(0).UTID.text(), "859027818938354");
    EXPECT_EQ(T(0).UGID.text(), "859027818938354");

    // Hand-written lines: one off in the last digit is seen.
    EXPECT_TRUE(core::UpdateUTIDInFile(writeTdl("Ok.tdl", "TEMPLATE A\nUTID 859027818938354\n" + big), false));
    EXPECT_FALSE(core::UpdateUTIDInFile(writeTdl("Off.tdl", "TEMPLATE A\nUTID 859027818938353\n" + big), false));
    EXPECT_TRUE(box.shown.empty());
}

// An ENDTEMPLATE without its TEMPLATE is ignored: the file's templates still pass and the
// stray lines stay where they are.
TEST_F(UpkeepTest, EndtemplateWithoutTemplateIsIgnored)
{
    const auto p = writeTdl("S.tdl", "* head\nUTID 9\nENDTEMPLATE\nTEMPLATE A\nUTID  18 \nUTIDT  2 \nUGID 1\nSELECTOR 2,1\n"
                                     "ENDTEMPLATE\nENDTEMPLATE\n");
    const std::string before = readAll(p);
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, true));
    EXPECT_EQ(readAll(p), before);
    EXPECT_TRUE(box.shown.empty());

    core::ParseTemplateFile("S.tdl");
    EXPECT_EQ(core::tdlState().TemplateLast, 0);
    EXPECT_EQ(T(0).UTID.text(), "18");
    ASSERT_EQ(box.shown.size(), 1u);  // the parser reports the stray lines once
    EXPECT_NE(box.shown[0].prompt.find("Line outside TEMPLATE ... ENDTEMPLATE ignored"), std::string::npos);
}

// A template left open before the next TEMPLATE keeps its own lines on rewrite.
TEST_F(UpkeepTest, UnfinishedTemplateBeforeAnotherKeepsItsLines)
{
    const auto p = writeTdl("T.tdl", "TEMPLATE Open\nUTID 5\nUTIDT 3\nTEMPLATE B\nUTIDT 2\nSELECTOR 2,1\nENDTEMPLATE\n");
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    EXPECT_EQ(readAll(p), crlf(std::string(core::kDescriptionLanguageVersion) +
                               "\nTEMPLATE Open\nUTID 5\nUTIDT 3\nTEMPLATE B\nUTID  18 \nUTIDT  2 \nUGID  18 \n"
                               "SELECTOR 2,1\nENDTEMPLATE\n"));
    EXPECT_TRUE(core::UpdateUTIDInFile(p, false));
}

TEST_F(UpkeepTest, FailedReplaceIsReported)
{
    // Readable, but its folder takes no new file, whatever the rights of the test.
    const fs::path p = "/proc/version";
    if (!core::readLines(p))
        GTEST_SKIP() << "no /proc";
    EXPECT_FALSE(core::UpdateUTIDInFile(p, true));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error updating UTID in file: " + p.string() + ", please report to " + core::SupportAddress());
}

class CheckAllTest : public tdltest::TdlTest {
protected:
    void SetUp() override
    {
        TdlTest::SetUp();
        good = writeTdl("Good.tdl", "TEMPLATE G\nUTID  18 \nUTIDT  2 \nSELECTOR 2,1\nENDTEMPLATE\n");
        ASSERT_TRUE(core::ValidateFile(good, true, true));
        ASSERT_TRUE(core::ValidateFile(dir / "TagList.xdl", true, true));
    }
    fs::path good;
};

TEST_F(CheckAllTest, AllValidFilesPass)
{
    EXPECT_TRUE(core::CheckAllFilesValidated(true));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CheckAllTest, WithoutAskFailingFilesOnlyMakeTheResultFalse)
{
    writeTdl("Bad.tdl", "TEMPLATE B\nUTIDT 2\nENDTEMPLATE\n");
    EXPECT_FALSE(core::CheckAllFilesValidated(false));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CheckAllTest, RepairedFilesPassInTheSameRun)
{
    const auto bad = writeTdl("Bad.tdl", "TEMPLATE B\nUTIDT 2\nENDTEMPLATE\n");
    dir.write("Extra.XDL", "list\r\n");
    box.queue(platform::MsgYes);  // Extra.XDL
    box.queue(platform::MsgYes);  // Bad.tdl
    EXPECT_TRUE(core::CheckAllFilesValidated(true));
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "Extra.XDL failed validation test, do you want to re-create the validation");
    EXPECT_EQ(box.shown[0].buttons, platform::MsgYesNo);
    EXPECT_EQ(box.shown[0].title, "Create validation");
    EXPECT_EQ(box.shown[1].prompt, "Bad.tdl failed validation test, do you want to re-create the validation");
    EXPECT_TRUE(core::UpdateUTIDInFile(bad, false));
    int score = 0;
    EXPECT_TRUE(core::ValidateFile(bad, false, false, score));
    EXPECT_EQ(score, 3);
    EXPECT_TRUE(core::CheckAllFilesValidated(false));
}

TEST_F(CheckAllTest, AnsweringNoLeavesTheFileFailing)
{
    const auto bad = writeTdl("Bad.tdl", "TEMPLATE B\nUTIDT 2\nENDTEMPLATE\n");
    const std::string before = readAll(bad);
    box.queue(platform::MsgNo);
    EXPECT_FALSE(core::CheckAllFilesValidated(true));
    EXPECT_EQ(readAll(bad), before);
}

TEST_F(CheckAllTest, WrongUtidWithValidLinesIsOffered)
{
    // Valid validation lines but a wrong UTID line.
    const auto p = writeTdl("Utid.tdl", "TEMPLATE U\nUTID 1\nUTIDT 2\nENDTEMPLATE\n");
    ASSERT_TRUE(core::ValidateFile(p, true, true));
    EXPECT_FALSE(core::CheckAllFilesValidated(false));
    box.queue(platform::MsgYes);
    EXPECT_TRUE(core::CheckAllFilesValidated(true));
    EXPECT_EQ(box.shown.size(), 1u);
}

} // namespace
