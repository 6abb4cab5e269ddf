#include "core/base/regedit.h"

#include <gtest/gtest.h>

namespace {

TEST(RegEdit, WriteReadDeleteRoundTrip)
{
    core::RegEdit reg;
    const std::string key = "Software\\Morvelund\\Test";
    EXPECT_EQ(reg.CreateKeyWithValue(core::HKEY_LOCAL_MACHINE, key, "Name", 1, std::string("abc")), 0);
    EXPECT_EQ(reg.CreateKeyWithValue(core::HKEY_LOCAL_MACHINE, key, "Count", 4, 42LL), 0);
    EXPECT_EQ(reg.CreateKeyWithValue(core::HKEY_LOCAL_MACHINE, key, "Other", 3, 1LL), 0); // nothing written
    std::string s;
    int n = -1;
    EXPECT_EQ(reg.ReadRegString(core::HKEY_LOCAL_MACHINE, key, "Name", s), 0);
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(reg.ReadRegInteger(core::HKEY_LOCAL_MACHINE, "software\\morvelund\\test", "Count", n), 0);
    EXPECT_EQ(n, 42);
    core::RegEdit::Value v;
    EXPECT_NE(reg.QueryKeyWithValue(core::HKEY_LOCAL_MACHINE, key, "Other", v), 0);
    EXPECT_EQ(reg.DeleteRegValue(core::HKEY_LOCAL_MACHINE, key, "Name"), 0);
    EXPECT_NE(reg.ReadRegString(core::HKEY_LOCAL_MACHINE, key, "Name", s), 0);
    EXPECT_EQ(s, "");
}

TEST(RegEdit, MissingKeyGivesZeroValues)
{
    core::RegEdit reg;
    int n = 7;
    std::string s = "x";
    EXPECT_EQ(reg.ReadRegInteger(core::HKEY_CURRENT_USER, "Nope", "N", n), platform::RegFileNotFound);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(reg.ReadRegString(core::HKEY_CURRENT_USER, "Nope", "S", s), platform::RegFileNotFound);
    EXPECT_EQ(s, "");
    // A string read as a number is a type mismatch.
    reg.CreateKeyWithValue(core::HKEY_CURRENT_USER, "K", "S", 1, std::string("x"));
    EXPECT_EQ(reg.ReadRegInteger(core::HKEY_CURRENT_USER, "K", "S", n), -1);
}

} // namespace
