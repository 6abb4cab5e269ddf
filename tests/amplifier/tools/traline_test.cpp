// The "TRA:TE" line and the qualifying rule, byte for byte, on hand-built templates and
// on the shipped library.

#include "templatebuilder.h"

#include "amplifier/model/peloxmodel.h"
#include "amplifier/tools/traline.h"
#include "sim/amplifier/templatedefinition.h"

#include <gtest/gtest.h>

using amplifier::Build_TRA_TE_Line;
using namespace tools_test;

namespace {

const std::string kExampleLine = "TRA:TE \"1234,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA";

core::TemplateRecord withSelectors(const std::vector<SelectorSpec>& selectors, int sensBit = 60)
{
    return makeTemplate("T", 1234, 0,
                        {{"Manufacturer", 8, 14}, {"Model", 22, 15}, {"SerialNumber", 100, 24},
                         {"Sens@Ref", sensBit, 16, 0.001, 0.05, "V/Pa"}},
                        selectors);
}

std::string runsOf(const core::TemplateRecord& t, int limit, int& count)
{
    return amplifier::Format_TemplateParam(t, limit, count);
}

} // namespace

TEST(TraTeLine, WorkedExampleExactly)
{
    const auto line = Build_TRA_TE_Line(workedExample(), false);
    EXPECT_TRUE(line.qualifies);
    EXPECT_EQ(line.line, kExampleLine);
    // With a 6188 as amplifier 1 the serial-number field's place follows.
    EXPECT_EQ(Build_TRA_TE_Line(workedExample(), true).line,
              "TRA:TE \"1234,1,22,15,0,8,25,40,4,2,60,16,100,24\",1.0000000E-03,5.0000000E-02,V/PA");
    // The simulated amplifier takes both.
    EXPECT_TRUE(platform::sim::parseTemplateDefinition(line.line.substr(7)));
}

TEST(TraTeLine, SelectorRuns)
{
    struct Case {
        const char* what;
        std::vector<SelectorSpec> selectors;
        int limit;
        const char* runs;
        int count;
    };
    const Case cases[] = {
        {"worked example", {{0, 8, 25}, {40, 4, 2}}, 60, "0,8,25,40,4,2", 2},
        {"adjacent join", {{0, 8, 25}, {8, 6, 3}}, 60, "0,14,793", 1},
        {"two 8-bit join to 16", {{0, 8, 1}, {8, 8, 2}}, 60, "0,16,513", 1},
        {"10 and 8 bits stay two", {{0, 10, 1}, {10, 8, 2}}, 60, "0,10,1,10,8,2", 2},
        {"gap stays two", {{0, 8, 1}, {9, 2, 1}}, 60, "0,8,1,9,2,1", 2},
        {"three runs", {{0, 8, 1}, {20, 2, 1}, {30, 2, 3}}, 60, "0,8,1,20,2,1,30,2,3", 3},
        {"run at the limit left out with all after it", {{0, 8, 1}, {60, 2, 1}, {10, 2, 3}}, 60, "0,8,1", 1},
        {"joined selector past the limit stays", {{50, 8, 1}, {58, 8, 1}}, 60, "50,16,257", 1},
        {"no selectors", {}, 60, "", 0},
    };
    for (const auto& c : cases) {
        int count = -1;
        EXPECT_EQ(runsOf(withSelectors(c.selectors), c.limit, count), c.runs) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
    }
}

TEST(TraTeLine, OneRunIsWrittenTwiceAndOtherCountsDoNotQualify)
{
    const auto joined = Build_TRA_TE_Line(withSelectors({{0, 8, 25}, {8, 6, 3}}), false);
    EXPECT_TRUE(joined.qualifies);
    EXPECT_EQ(joined.line, "TRA:TE \"1234,1,22,15,0,14,793,0,14,793,60,16\",1.0000000E-03,5.0000000E-02,V/PA");

    const auto three = Build_TRA_TE_Line(withSelectors({{0, 8, 1}, {20, 2, 1}, {30, 2, 3}}), false);
    EXPECT_FALSE(three.qualifies);
    EXPECT_NE(three.line.find("0,8,1,20,2,1,30,2,3"), std::string::npos) << "built all the same";
    EXPECT_FALSE(Build_TRA_TE_Line(withSelectors({}), false).qualifies);
    // Runs from the sensitivity field on do not count: one run remains.
    EXPECT_TRUE(Build_TRA_TE_Line(withSelectors({{0, 8, 1}, {70, 2, 1}, {80, 2, 1}}), false).qualifies);
}

TEST(TraTeLine, QualifyingFields)
{
    auto t = workedExample();
    t.fields[2].tag.reset(); // no serial-number field
    EXPECT_FALSE(Build_TRA_TE_Line(t, false).qualifies);

    for (const char* passive : {"Passive", "PASSIVE", "passive[2]"}) {
        auto p = makeTemplate("P", 5, 0,
                              {{"Manufacturer", 8, 14}, {"Model", 22, 15}, {"SerialNumber", 100, 24},
                               {"Sens@Ref", 60, 16, 1, 1, "V"}, {passive, 80, 1}},
                              {{0, 8, 25}});
        EXPECT_FALSE(Build_TRA_TE_Line(p, false).qualifies) << passive;
    }
    // Field 0 is never looked at.
    auto first = workedExample();
    first.fields[0].tag = std::make_shared<core::FieldTag>(core::FieldTag{"Passive", ""});
    EXPECT_TRUE(Build_TRA_TE_Line(first, false).qualifies);
}

TEST(TraTeLine, LookupsHighestForTextLowestForNumbers)
{
    const auto t = makeTemplate("L", 7, 2,
                                {{"Manufacturer", 8, 14}, {"Model", 22, 15}, {"Sens@Ref[\"01\"]", 40, 16, 2, 3, "V/N"},
                                 {"SerialNumber", 56, 24}, {"Sens@Ref[\"10\"]", 80, 16, 4, 5, "V/C"},
                                 {"Model", 96, 5}},
                                {{0, 8, 25}});
    bool found = false;
    EXPECT_EQ(amplifier::Find_TemplateParamText(t, "model", found), 5);
    EXPECT_TRUE(found);
    EXPECT_EQ(amplifier::Find_TemplateParamNo(t, "SENS@REF", found), 2);
    EXPECT_EQ(amplifier::Find_TemplateParamNo(t, "Passive", found), 6);
    EXPECT_FALSE(found);
    EXPECT_EQ(amplifier::Find_TemplateParamText(t, "Nothing", found), 0);
    EXPECT_FALSE(found);
    // UTIDT 2 writes "0"; the lowest "Sens@Ref" field gives the numbers and the unit.
    EXPECT_EQ(Build_TRA_TE_Line(t, false).line, "TRA:TE \"7,0,96,5,0,8,25,0,8,25,40,16\",2.0000000E00,3.0000000E00,V/UNIT");
}

TEST(TraTeLine, TemplateWithoutSensitivityFieldNeverReadsPastItsFields)
{
    // Every field slot in use: there is no slot behind the last field.
    std::vector<FieldSpec> fields{{"Manufacturer", 8, 14}, {"Model", 22, 15}, {"SerialNumber", 37, 24}};
    while (fields.size() < static_cast<std::size_t>(core::kFieldsMax))
        fields.push_back({"UserData", 61, 1});
    auto t = makeTemplate("Full", 9, 1, fields, {{0, 8, 25}});
    const auto line = Build_TRA_TE_Line(t, false);
    EXPECT_FALSE(line.qualifies);
    EXPECT_EQ(line.line, "TRA:TE \"9,1,22,15,,0,0\",0.0000000E00,0.0000000E00,V/V");
}

TEST(TraTeLine, NumbersAndUnits)
{
    struct Case {
        double p1;
        const char* text;
    };
    for (const auto& c : {Case{0, "0.0000000E00"}, Case{12.5, "1.2500000E01"}, Case{0.001, "1.0000000E-03"},
                          Case{-2.5, "-2.5000000E00"}, Case{5E-7, "5.0000000E-07"}, Case{-0.000123, "-1.2300000E-04"}}) {
        auto t = workedExample();
        t.fields[3].p1 = c.p1;
        const auto line = Build_TRA_TE_Line(t, false).line;
        EXPECT_EQ(line.substr(line.find("\",") + 2, std::string(c.text).size()), c.text) << c.p1;
    }
    EXPECT_EQ(amplifier::peloxUnitOf("V/(m/s\xB2)"), "V/M/S2");
    EXPECT_EQ(amplifier::peloxUnitOf("V/Pa"), "V/PA");
    EXPECT_EQ(amplifier::peloxUnitOf("V/C"), "V/UNIT");
    EXPECT_EQ(amplifier::peloxUnitOf("v/n"), "V/UNIT");
    EXPECT_EQ(amplifier::peloxUnitOf("V/(m/s2)"), "V/V");
    EXPECT_EQ(amplifier::peloxUnitOf(""), "V/V");
    // UTIDT 1 is written as "1".
    EXPECT_EQ(Build_TRA_TE_Line(workedExample(1234, 1), false).line, kExampleLine);
}
