#include "core/base/settings.h"

#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::readAll;
using testing_support::TempDir;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path ini = dir / "QT8061_Inifile.txt";
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(SettingsTest, FirstWriteCreatesPaddedLine)
{
    ASSERT_TRUE(core::Inifile_CreateKeyWithValue(ini, "ComSpeed", 1));
    EXPECT_EQ(readAll(ini), "ComSpeed" + std::string(32, ' ') + ": 1\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(SettingsTest, NumbersAndCommas)
{
    core::Inifile_CreateKeyWithValue(ini, "A", 2.5);
    core::Inifile_CreateKeyWithValue(ini, "B", "3,5");
    core::Inifile_CreateKeyWithValue(ini, "Dir", "/home/x/a,b");
    core::Inifile_CreateKeyWithValue(ini, "Neg", -0.125);
    std::string v;
    core::Inifile_Read_String_Value(ini, "A", v);
    EXPECT_EQ(v, "2.5");
    core::Inifile_Read_String_Value(ini, "B", v);
    EXPECT_EQ(v, "3.5");
    core::Inifile_Read_String_Value(ini, "Dir", v);
    EXPECT_EQ(v, "/home/x/a,b");
    core::Inifile_Read_String_Value(ini, "Neg", v);
    EXPECT_EQ(v, "-0.125");
}

TEST_F(SettingsTest, ReplacesCaseInsensitiveKeepingSpellingAndOtherLines)
{
    dir.write("QT8061_Inifile.txt", "# comment line\ncomspeed                                : 7\nOther : x\n");
    ASSERT_TRUE(core::Inifile_CreateKeyWithValue(ini, "ComSpeed", 3));
    EXPECT_EQ(readAll(ini), "# comment line\r\ncomspeed" + std::string(32, ' ') + ": 3\r\nOther : x\r\n");
    int n = 0;
    EXPECT_EQ(core::Inifile_Read_Integer_Value(ini, "COMSPEED", n), core::IniFound);
    EXPECT_EQ(n, 3);
}

TEST_F(SettingsTest, ReadValueStopsAtNextSeparatorAndLastLineWins)
{
    dir.write("QT8061_Inifile.txt", "Key: first\r\nKey: a: b\r\n");
    std::string v;
    EXPECT_EQ(core::Inifile_Read_String_Value(ini, "key", v), core::IniFound);
    EXPECT_EQ(v, "a");
}

TEST_F(SettingsTest, MissingFileOrKey)
{
    std::string v = "x";
    EXPECT_EQ(core::Inifile_Read_String_Value(ini, "Version", v), core::IniMissing);
    EXPECT_EQ(v, "");
    core::Inifile_CreateKeyWithValue(ini, "Version", "0.1.0");
    EXPECT_EQ(core::Inifile_Read_String_Value(ini, "Other", v), core::IniMissing);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SettingsTest, LineWithoutSeparatorIsIgnored)
{
    dir.write("QT8061_Inifile.txt", "ComSpeed\r\nInterface: 1\r\n");
    std::string v;
    EXPECT_EQ(core::Inifile_Read_String_Value(ini, "ComSpeed", v), core::IniMissing);
    EXPECT_EQ(core::Inifile_Read_String_Value(ini, "Interface", v), core::IniFound);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SettingsTest, IntegerReaderRoundsAndClamps)
{
    struct Case { const char* text; int want; };
    const Case cases[] = {{"2.5", 2}, {"3.5", 4}, {"-7", -7}, {"12abc", 12}, {"abc", 0}, {"99999999999", 32767}, {"-1e9", -32768}, {"  4", 4}};
    for (const auto& c : cases) {
        core::Inifile_CreateKeyWithValue(ini, "N", std::string(c.text));
        int n = 1;
        EXPECT_EQ(core::Inifile_Read_Integer_Value(ini, "N", n), core::IniFound) << c.text;
        EXPECT_EQ(n, c.want) << c.text;
    }
}

TEST_F(SettingsTest, FailedWriteKeepsOldFileAndReports)
{
    core::Inifile_CreateKeyWithValue(ini, "Version", "1");
    const std::string before = readAll(ini);
    EXPECT_FALSE(core::Inifile_CreateKeyWithValue(ini, std::string(41, 'K'), "x"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error creating Value in inifile. (Function Inifile_CreateKeyWithValue)\r\n\r\nFilename = ", 0), 0u);
    EXPECT_EQ(readAll(ini), before);
    // A folder that cannot be written: the old file stays.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool wrote = core::Inifile_CreateKeyWithValue(ini, "Version", "2");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    if (::geteuid() != 0) // root ignores folder permissions
        EXPECT_FALSE(wrote);
    if (!wrote)
        EXPECT_EQ(readAll(ini), before);
}

TEST(Environment, ExpandsOrEmpty)
{
    ::setenv("TS_TEST_VAR", "  /tmp/profile  ", 1);
    EXPECT_EQ(core::GetEnvironmentString("TS_TEST_VAR"), "/tmp/profile");
    EXPECT_EQ(core::GetEnvironmentString("%TS_TEST_VAR%"), "/tmp/profile");
    ::unsetenv("TS_TEST_UNSET");
    EXPECT_EQ(core::GetEnvironmentString("TS_TEST_UNSET"), "");
}

} // namespace
