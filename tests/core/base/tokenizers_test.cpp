#include "core/base/tokenizers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

using core::TokenError;

namespace {

struct TokenCase {
    const char* name;
    std::string sep;
    std::string text;
    std::string token;
    std::string rest;
};

class NextTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTest, SplitsAsTheReadersExpect)
{
    const auto& c = GetParam();
    std::string text = c.text;
    EXPECT_EQ(core::NextToken(c.sep, text), c.token);
    EXPECT_EQ(text, c.rest);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextTokenTest,
    ::testing::Values(
        TokenCase{"RunOfCommasKeepsLast", ",", "a,,,", "a", ","},
        TokenCase{"RunInsideLine", ",", "a,,b", "a", "b"},
        TokenCase{"NoSeparator", ",", "abc", "abc", ""},
        TokenCase{"TwoCharSeparatorNotSkipped", ": ", "ComSpeed     : 1", "ComSpeed     ", ": 1"},
        TokenCase{"EmptyText", ",", "", "", ""},
        TokenCase{"LeadingSeparator", ",", ",x", "", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuotedText, WordBetweenQuotesThenNumber)
{
    std::string t = "\"Hello\", 5";
    EXPECT_EQ(core::QuotedText(t), "Hello");
    EXPECT_EQ(t, "5");
}

TEST(QuotedText, DropsTextBeforeFirstQuote)
{
    std::string t = "TITLE \"Sensor type\" ,, rest";
    EXPECT_EQ(core::QuotedText(t), "Sensor type");
    EXPECT_EQ(t, "rest");
}

TEST(QuotedText, MissingClosingQuoteThrows)
{
    std::string t = "\"open";
    EXPECT_THROW(core::QuotedText(t), TokenError);
    std::string none = "no quotes";
    EXPECT_THROW(core::QuotedText(none), TokenError);
}

TEST(QuotedText, QuotePast255Throws)
{
    std::string t = std::string(300, 'x') + "\"a\"";
    EXPECT_THROW(core::QuotedText(t), TokenError);
    std::string ok = std::string(250, 'x') + "\"a\"";
    EXPECT_EQ(core::QuotedText(ok), "a");
}

TEST(NextWord, BlankOrCommaWhicheverFirst)
{
    std::string t = "   ID,12";
    EXPECT_EQ(core::NextWord(t), "ID");
    EXPECT_EQ(t, "12");
    std::string u = "A B,C";
    EXPECT_EQ(core::NextWord(u), "A");
    EXPECT_EQ(u, "B,C");
    std::string v = "  single";
    EXPECT_EQ(core::NextWord(v), "single");
    EXPECT_EQ(v, "");
}

TEST(NextCommaItem, CommaOnly)
{
    std::string t = "  12 34, 56";
    EXPECT_EQ(core::NextCommaItem(t), "12 34");
    EXPECT_EQ(t, " 56");
    std::string u = "last";
    EXPECT_EQ(core::NextCommaItem(u), "last");
    EXPECT_EQ(u, "");
}

TEST(Tokenizers, SeparatorPast255Throws)
{
    std::string w = std::string(260, 'x') + " y";
    EXPECT_THROW(core::NextWord(w), TokenError);
    std::string c = std::string(260, 'x') + ",y";
    EXPECT_THROW(core::NextCommaItem(c), TokenError);
    std::string longNoSep = std::string(400, 'x');
    EXPECT_EQ(core::NextWord(longNoSep).size(), 400u);
}

// The view forms cut as the string forms do, and leave the same rest when they throw
// (the parser's error message shows that rest).
TEST(Tokenizers, ViewsCutAsStrings)
{
    using Cut = std::function<std::string(std::string&)>;
    using CutView = std::function<std::string_view(std::string_view&)>;
    struct Row {
        const char* name;
        Cut onString;
        CutView onView;
    };
    const Row rows[] = {
        {"NextToken ,", [](std::string& t) { return core::NextToken(",", t); },
         [](std::string_view& t) { return core::NextToken(",", t); }},
        {"NextToken blank", [](std::string& t) { return core::NextToken(" ", t); },
         [](std::string_view& t) { return core::NextToken(" ", t); }},
        {"NextToken two", [](std::string& t) { return core::NextToken(": ", t); },
         [](std::string_view& t) { return core::NextToken(": ", t); }},
        {"QuotedText", [](std::string& t) { return core::QuotedText(t); },
         [](std::string_view& t) { return core::QuotedText(t); }},
        {"NextWord", [](std::string& t) { return core::NextWord(t); },
         [](std::string_view& t) { return core::NextWord(t); }},
        {"NextCommaItem", [](std::string& t) { return core::NextCommaItem(t); },
         [](std::string_view& t) { return core::NextCommaItem(t); }},
    };
    const std::string texts[] = {
        "", ",", "a,,,", "a,,b", "  ID,12", "A B,C", "\"Hello\", 5", "x \"t\" ,, rest", "ab\"open",
        "ComSpeed     : 1", "  single", std::string(260, 'x') + " y", std::string(300, 'x') + "\"a\"",
        std::string(250, 'x') + "\"a\"", "\"" + std::string(260, 'q') + "\"", " , ,\"\"",
    };
    for (const Row& r : rows) {
        for (const std::string& text : texts) {
            std::string s = text;
            std::string_view v = text;
            std::string fromString, fromView;
            bool threwString = false, threwView = false;
            try {
                fromString = r.onString(s);
            } catch (const TokenError&) {
                threwString = true;
            }
            try {
                fromView = std::string(r.onView(v));
            } catch (const TokenError&) {
                threwView = true;
            }
            EXPECT_EQ(threwView, threwString) << r.name << ": " << text;
            EXPECT_EQ(fromView, fromString) << r.name << ": " << text;
            EXPECT_EQ(std::string(v), s) << r.name << ": " << text;
        }
    }
    // A quoted text without its end: the text after the opening quote is left.
    std::string open = "ab\"open";
    EXPECT_THROW(core::QuotedText(open), TokenError);
    EXPECT_EQ(open, "open");
}

} // namespace
