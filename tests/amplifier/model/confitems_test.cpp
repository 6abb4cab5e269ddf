// Taking the items of an amplifier reply off the front of its text.

#include "amplifier/model/confitems.h"

#include <gtest/gtest.h>

using amplifier::GetLong;
using amplifier::GetStr;

namespace {

TEST(GetStr, TakesOneItemAndLeavesTheRest)
{
    struct Row {
        const char* name;
        const char* text;
        const char* item;
        const char* rest;
    };
    const Row rows[] = {
        {"plain item", "0412345,Type 6181,1", "0412345", "Type 6181,1"},
        {"last item", "ON", "ON", ""},
        {"empty text", "", "", ""},
        {"only blanks", "   ", "", ""},
        {"leading blanks dropped", "  CC1,x", "CC1", "x"},
        {"blanks before the comma stay", "CC1  ,x", "CC1  ", "x"},
        {"empty item", ",x", "", "x"},
        {"quoted item", "\"CC1 CCLD\",ON", "CC1 CCLD", "ON"},
        {"quoted item with inner comma", "\"CC1 CCLD, 4 mA\",\"AC, 0.1 Hz\",ON", "CC1 CCLD, 4 mA", "\"AC, 0.1 Hz\",ON"},
        {"quoted item, blanks before quote", "  \"P1\" ,ON", "P1", "ON"},
        {"quoted last item", "\"P1_L x\"", "P1_L x", ""},
        {"unclosed quote", "\"CC1, 4 mA,ON", "CC1, 4 mA,ON", ""},
    };
    for (const auto& r : rows) {
        std::string text = r.text;
        EXPECT_EQ(GetStr(text), r.item) << r.name;
        EXPECT_EQ(text, r.rest) << r.name;
    }
}

TEST(GetLong, LeadingNumberRoundedHalvesToEven)
{
    struct Row {
        const char* name;
        const char* text;
        std::int32_t value;
        const char* rest;
    };
    const Row rows[] = {
        {"integer", "16,CC1", 16, "CC1"},
        {"blanks ignored", " 2 ,0", 2, "0"},
        {"half down to even", "2.5,x", 2, "x"},
        {"half up to even", "3.5,x", 4, "x"},
        {"negative half", "-2.5", -2, ""},
        {"no number", "ON,x", 0, "x"},
        {"number then text", "7mA,x", 7, "x"},
        {"beyond 32 bits", "99999999999,x", 2147483647, "x"},
        {"empty", "", 0, ""},
    };
    for (const auto& r : rows) {
        std::string text = r.text;
        EXPECT_EQ(GetLong(text), r.value) << r.name;
        EXPECT_EQ(text, r.rest) << r.name;
    }
}

TEST(ConfReply, A618xReplyReadItemByItem)
{
    std::string reply = "0412345,Type 6182,3,-4,7,2,1,7,1,\"CC1 CCLD, 4 mA\",\"AC, 0.1 Hz\",ON,10";
    EXPECT_EQ(GetStr(reply), "0412345");
    EXPECT_EQ(GetStr(reply), "Type 6182");
    for (std::int32_t v : {3, -4, 7, 2, 1, 7, 1})
        EXPECT_EQ(GetLong(reply), v);
    EXPECT_EQ(GetStr(reply), "CC1 CCLD, 4 mA");
    EXPECT_EQ(GetStr(reply), "AC, 0.1 Hz");
    EXPECT_EQ(GetStr(reply), "ON");
    EXPECT_EQ(GetStr(reply), "10");
    EXPECT_EQ(reply, "");
}

} // namespace
