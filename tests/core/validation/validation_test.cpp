#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/state/corelayer.h"
#include "core/validation/validation.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

using testing_support::readAll;

namespace {

class ValidationTest : public ::testing::Test {
protected:
    testing_support::FreshState<core::resetCoreLayer> fresh;

    int check(const std::filesystem::path& p, bool* result = nullptr)
    {
        int score = -1;
        const bool r = core::ValidateFile(p, false, false, score);
        if (result)
            *result = r;
        return score;
    }

    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(ValidationTest, KeycodeLineIsTheXorSum)
{
    // 'a' ^ 1 + 'b' ^ 2 + 'c' ^ 3 = 96 + 96 + 96, line ends not counted.
    const auto p = dir.write("f.xdl", "ab\r\nc\r\n");
    core::ValidateFile(p, true, false);
    EXPECT_EQ(readAll(p), "ab\r\nc\r\nValidation_keycode 288\r\n");
}

TEST_F(ValidationTest, FileWithoutValidationLinesFails)
{
    const auto p = dir.write("f.xdl", "content\r\n");
    bool r = true;
    EXPECT_EQ(check(p, &r), 0);
    EXPECT_FALSE(r);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ValidationTest, BothLinesGiveScoreThree)
{
    const auto p = dir.write("f.tdl", "line one\r\nline two\r\n");
    EXPECT_TRUE(core::ValidateFile(p, true, true));
    bool r = false;
    EXPECT_EQ(check(p, &r), 3);
    EXPECT_TRUE(r);
    EXPECT_EQ(readAll(p).rfind("line one\r\nline two\r\nValidation_keycode ", 0), 0u);
    EXPECT_NE(readAll(p).find("\r\nValidation_key_ZQ "), std::string::npos);
}

TEST_F(ValidationTest, KeycodeOnlyGivesScoreTwo)
{
    const auto p = dir.write("f.tdl", "line one\r\n");
    core::ValidateFile(p, true, true);
    // Re-creating without the second line drops it: the file no longer passes.
    EXPECT_FALSE(core::ValidateFile(p, true, false));
    bool r = true;
    EXPECT_EQ(check(p, &r), 2);
    EXPECT_FALSE(r);
}

TEST_F(ValidationTest, SecondLineOnlyGivesScoreOne)
{
    const auto p = dir.write("f.tdl", "line one\r\n");
    core::ValidateFile(p, true, true);
    std::string bytes = readAll(p);
    const auto k = bytes.find("Validation_keycode ");
    bytes.replace(k, bytes.find("\r\n", k) - k, "Validation_keycode 1");
    dir.write("f.tdl", bytes);
    bool r = false;
    EXPECT_EQ(check(p, &r), 1);
    EXPECT_TRUE(r);
}

TEST_F(ValidationTest, ChangedCharacterFailsBothLines)
{
    const auto p = dir.write("f.tdl", "line one\r\n");
    core::ValidateFile(p, true, true);
    std::string bytes = readAll(p);
    bytes[2] = 'N';
    dir.write("f.tdl", bytes);
    bool r = true;
    EXPECT_EQ(check(p, &r), 0);
    EXPECT_FALSE(r);
}

TEST_F(ValidationTest, TextAfterTheLinesAndOtherLineEndsDoNotMatter)
{
    const auto p = dir.write("f.tdl", "line one\r\nline two\r\n");
    core::ValidateFile(p, true, true);
    std::string bytes = readAll(p) + "trailing text\r\n";
    // Same content with LF line ends.
    std::string lf;
    for (char c : bytes)
        if (c != '\r')
            lf += c;
    dir.write("f.tdl", lf);
    EXPECT_EQ(check(p), 3);
}

TEST_F(ValidationTest, BytesNotCharactersAreSummed)
{
    // Windows-1252 bytes above 127 count by their byte value.
    const auto p = dir.write("f.xdl", "\xb5\xe9");
    core::ValidateFile(p, true, false);
    EXPECT_EQ(readAll(p), std::string("\xb5\xe9\r\nValidation_keycode ") + std::to_string((0xb5 ^ 1) + (0xe9 ^ 2)) + "\r\n");
}

TEST_F(ValidationTest, JapaneseWindowsAcceptsEveryFileUnread)
{
    core::coreState().JapaneseWindows = true;
    const auto p = dir.write("f.tdl", "x\r\n");
    int score = 7;
    EXPECT_TRUE(core::ValidateFile(p, true, true, score));
    EXPECT_EQ(score, 1);
    EXPECT_EQ(readAll(p), "x\r\n");
    EXPECT_TRUE(core::ValidateFile(dir / "missing.tdl", false, false));
}

TEST_F(ValidationTest, FailedRewriteIsReported)
{
    // Readable, but its folder takes no new file, whatever the rights of the test.
    const std::filesystem::path p = "/proc/version";
    if (!core::readLines(p))
        GTEST_SKIP() << "no /proc";
    int score = -1;
    EXPECT_FALSE(core::ValidateFile(p, true, true, score));
    EXPECT_EQ(score, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in file: " + p.string() + ", please report to " + core::SupportAddress());
}

TEST_F(ValidationTest, ErrorsAreReported)
{
    core::MemoryTrace trace;
    core::ScopedTrace st(trace);
    const auto missing = dir / "missing.tdl";
    bool r = true;
    EXPECT_EQ(check(missing, &r), 0);
    EXPECT_FALSE(r);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in file: " + missing.string() + ", please report to " + core::SupportAddress());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0].rfind("Error in validate file: ", 0), 0u);

    // A second code that is not hex text.
    const auto p = dir.write("f.tdl", "x\r\nValidation_keycode 121\r\nValidation_key_ZQ XYZ\r\n");
    box.clear();
    EXPECT_EQ(check(p, &r), 2);
    EXPECT_FALSE(r);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error in Function 'Decrypt2'", 0), 0u);
    EXPECT_EQ(box.shown[1].prompt, "Error in file: " + p.string() + ", please report to " + core::SupportAddress());
}

} // namespace
