#include "core/codecs/chr5.h"

#include "core/teds/bitfields.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"

#include <gtest/gtest.h>

namespace {

class Chr5 : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    core::TedsBuf tb;
    void SetUp() override { tb.dimension(8); }

    std::vector<int> codes(int pos, int n) const
    {
        std::vector<int> out;
        for (int c = 0; c < n; ++c)
            out.push_back(static_cast<int>(core::Bits2Val(tb, pos + 5 * c, 5).low64()));
        return out;
    }
    std::string read(int pos, int n) const
    {
        std::string s;
        for (int c : codes(pos, n))
            s += core::Chr5ToChar(c);
        return s;
    }
};

} // namespace

TEST_F(Chr5, UpperCase)
{
    std::string t = "abc xyz \xE6\xF8\xE5 \xC6 1?";
    core::UpperCaseForChr5(t);
    EXPECT_EQ(t, "ABC XYZ \xC6\xD8\xC5 \xC6 1?");
}

TEST_F(Chr5, WritesCodesAndUpperCasesTheCallersText)
{
    std::string t = "ab";
    core::StringToChr5Bits(t, 3, 3, tb);
    EXPECT_EQ(t, "AB");
    EXPECT_EQ(codes(3, 3), (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(tb.Bits[2]);   // guard below
    EXPECT_FALSE(tb.Bits[18]);  // guard above

    std::string longer = "HELLO";
    core::StringToChr5Bits(longer, 0, 2, tb);
    EXPECT_EQ(codes(0, 3), (std::vector<int>{8, 5, 0}));  // the rest is ignored
}

TEST_F(Chr5, PunctuationReadsBackAsWritten)
{
    std::string t = ",./_@";
    core::StringToChr5Bits(t, 0, 5, tb);
    EXPECT_EQ(codes(0, 5), (std::vector<int>{27, 28, 29, 30, 31}));
    EXPECT_EQ(read(0, 5), ",./_@");

    std::string aliases = "\xC6\xD8\xC5&#z";
    core::StringToChr5Bits(aliases, 0, 6, tb);
    EXPECT_EQ(codes(0, 6), (std::vector<int>{27, 28, 29, 30, 31, 26}));

    std::string ae = "\xC6" "B";
    core::StringToChr5Bits(ae, 0, 2, tb);
    EXPECT_EQ(read(0, 2), ",B");
}

TEST_F(Chr5, CodeToCharacter)
{
    EXPECT_EQ(core::Chr5ToChar(0), " ");
    EXPECT_EQ(core::Chr5ToChar(1), "A");
    EXPECT_EQ(core::Chr5ToChar(26), "Z");
    EXPECT_EQ(core::Chr5ToChar(27), ",");
    EXPECT_EQ(core::Chr5ToChar(28), ".");
    EXPECT_EQ(core::Chr5ToChar(29), "/");
    EXPECT_EQ(core::Chr5ToChar(30), "_");
    EXPECT_EQ(core::Chr5ToChar(31), "@");
    EXPECT_EQ(core::Chr5ToChar(32), "@");
    EXPECT_EQ(core::Chr5ToChar(-1), "@");
    for (int code = 0; code <= 31; ++code)
        EXPECT_EQ(core::Chr5Code(core::Chr5ToChar(code)[0]), code);
}

TEST_F(Chr5, FieldOutsideTheImageWritesNothing)
{
    std::fill(tb.Bits.begin(), tb.Bits.end(), true);
    std::string t = "ABC";
    core::StringToChr5Bits(t, 60, 2, tb);  // bits 60 .. 69 of 64
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(std::count(tb.Bits.begin(), tb.Bits.end(), false), 0);
}
