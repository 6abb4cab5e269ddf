// Template records at the language's limits (41 fields, 16 selectors, 11 group breaks)
// and one past each, indexes a template never set, GROUP lines given again, libraries
// of one template and of thousands.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/lists/listsstate.h"
#include "core/state/corelayer.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

struct TemplateLimits : ::testing::Test {
    testing_support::FreshState<core::resetCoreLayer> fresh;
    TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};

    TemplateLimits()
    {
        core::coreState().ProgramFolder = dir.path();
        fs::copy_file(testing_support::dataDir() / "TagList.xdl", dir / "TagList.xdl");
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(dir.path());
    }

    static std::string fields(int n)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += "%Model,\"Field " + std::to_string(i) + "\",CAL,3,UNINT,\"0\"\r\n";
        return s;
    }
    static std::string selectors(int n)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += i % 2 ? "SELECTOR 2," + std::to_string(i % 4) + "\r\n"
                       : "MATCH " + std::to_string(200 + i) + ",1,1\r\n";
        return s;
    }
    static std::string group(int n)
    {
        std::string s = "GROUP ";
        for (int i = 0; i < n; ++i)
            s += (i ? "," : "") + std::string("1");
        return s + "\r\n";
    }
    // Parses a file of that body; false when the program was to end.
    bool parse(const std::string& body, const std::string& name = "limits.tdl")
    {
        dir.write(name, std::string(core::kDescriptionLanguageVersion) + "\r\n" + body);
        try {
            core::ParseTemplateFile(name);
        } catch (const core::ProgramEnd&) {
            return false;
        }
        return true;
    }
    const core::TemplateRecord& T(int i) const { return core::tdlState().Templates.at(static_cast<std::size_t>(i)); }
    std::string prompts() const
    {
        std::string all;
        for (auto& p : box.prompts())
            all += p + "\n----\n";
        return all;
    }
};

TEST_F(TemplateLimits, EveryLimitReachedAndReadBack)
{
    ASSERT_TRUE(parse("TEMPLATE Full\r\nUTIDT 2\r\n" + selectors(16) + fields(41) + group(11) +
                      "ENDTEMPLATE\r\nTEMPLATE Small\r\n" + fields(1) + "ENDTEMPLATE\r\n"))
        << prompts();
    EXPECT_TRUE(box.shown.empty()) << prompts();
    const auto& full = T(0);
    EXPECT_EQ(full.fieldLast, 40);
    EXPECT_EQ(full.selectorLast, 15);
    EXPECT_EQ(full.groupLast, 10);
    EXPECT_EQ(full.fields[40].title, "Field 40");
    EXPECT_EQ(full.fields[40].bitAddress, 8 * 2 + 40 * 3);
    EXPECT_EQ(full.selectors[15].width, 2);
    EXPECT_EQ(full.selectors[14].bitAddress, 214);
    EXPECT_EQ(full.groupBreaks[10], 11);
    EXPECT_EQ(full.lengthBits, 8 * 2 + 41 * 3);
    // The small one stores what it uses; its unset indexes read as empty.
    const auto& small = T(1);
    EXPECT_EQ(small.fieldLast, 0);
    EXPECT_EQ(small.fields[40].title, "");
    EXPECT_EQ(small.fields[40].bitCount, 0);
    EXPECT_EQ(small.selectors[15].match, 0);
    EXPECT_EQ(small.groupBreaks[10], 0);
    EXPECT_LE(small.fields.stored(), 1u);
    // The spare record after the last.
    EXPECT_EQ(core::tdlState().TemplateLast, 1);
    EXPECT_EQ(core::tdlState().Templates.size(), 3u);
    EXPECT_EQ(T(2).fieldLast, -1);
}

TEST_F(TemplateLimits, OnePastEachLimitIsReportedAndEndsTheProgram)
{
    struct Case {
        std::string body;
        std::string first;  // the first message, when it is not the general one
    } cases[] = {
        {"TEMPLATE Fields\r\n" + fields(42) + "ENDTEMPLATE\r\n", "Too many fields in template: Fields"},
        {"TEMPLATE Selectors\r\n" + selectors(17) + "ENDTEMPLATE\r\n", ""},
        {"TEMPLATE Groups\r\n" + fields(3) + group(12) + "ENDTEMPLATE\r\n", ""},
        {"TEMPLATE Spacing\r\n" + group(11) + fields(3) + "SPACING\r\nENDTEMPLATE\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 20));
        core::resetTdlState();
        box.clear();
        EXPECT_FALSE(parse(c.body, "over.tdl")) << prompts();
        ASSERT_FALSE(box.shown.empty());
        if (!c.first.empty())
            EXPECT_EQ(box.shown.front().prompt, c.first) << prompts();
        EXPECT_EQ(box.shown.back().prompt.rfind("Error in template description file: over.tdl near line : ", 0), 0u)
            << prompts();
        EXPECT_NE(box.shown.back().prompt.find("program will close now"), std::string::npos) << prompts();
    }
}

TEST_F(TemplateLimits, GroupGivenAgainKeepsOnlyTheNewBreaks)
{
    ASSERT_TRUE(parse("TEMPLATE G\r\n" + fields(12) + "GROUP 2,2,2,2,2\r\nGROUP 4,4\r\nSPACING\r\nENDTEMPLATE\r\n"))
        << prompts();
    const auto& t = T(0);
    ASSERT_EQ(t.groupLast, 2);
    EXPECT_EQ(t.groupBreaks[0], 4);
    EXPECT_EQ(t.groupBreaks[1], 8);
    EXPECT_EQ(t.groupBreaks[2], 12);
    // A GROUP of eleven after one of five is still within the limit.
    core::resetTdlState();
    ASSERT_TRUE(parse("TEMPLATE H\r\n" + fields(3) + group(5) + group(11) + "ENDTEMPLATE\r\n", "h.tdl")) << prompts();
    EXPECT_EQ(T(0).groupLast, 10);
}

TEST_F(TemplateLimits, LibrariesOfOneAndOfThousandsOfTemplates)
{
    ASSERT_TRUE(parse("TEMPLATE Only\r\nSELECTOR 8,7\r\n" + fields(2) + "ENDTEMPLATE\r\n", "one.tdl"));
    EXPECT_EQ(core::tdlState().TemplateLast, 0);
    EXPECT_EQ(core::TemplatesLoaded(), 1);
    EXPECT_EQ(T(0).name, "Only");
    EXPECT_EQ(T(1).name, "");

    core::resetTdlState();
    std::ostringstream big;
    const int n = 5200;
    for (int i = 0; i < n; ++i)
        big << "TEMPLATE T" << i << "\r\nUTIDT 2\r\nSELECTOR 14," << (i % 16384) << "\r\n"
            << fields(1 + i % 41) << (i % 3 ? group(1 + i % 11) : "") << "ENDTEMPLATE\r\n";
    ASSERT_TRUE(parse(big.str(), "big.tdl")) << prompts();
    EXPECT_TRUE(box.shown.empty()) << prompts();
    EXPECT_EQ(core::tdlState().TemplateLast, n - 1);
    for (int i : {0, 1, 40, 41, 4999, 5000, n - 1}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(T(i).name, "T" + std::to_string(i));
        EXPECT_EQ(T(i).fieldLast, i % 41);
        EXPECT_EQ(T(i).fields[static_cast<std::size_t>(i % 41)].title, "Field " + std::to_string(i % 41));
        EXPECT_EQ(T(i).selectors[0].match, i % 16384);
        EXPECT_EQ(T(i).groupLast, i % 3 ? i % 11 : -1);
    }
    EXPECT_EQ(T(n).fieldLast, -1);
    // A second file appends to the library.
    ASSERT_TRUE(parse("TEMPLATE After\r\n" + fields(41) + "ENDTEMPLATE\r\n", "after.tdl"));
    EXPECT_EQ(core::tdlState().TemplateLast, n);
    EXPECT_EQ(T(n).name, "After");
    EXPECT_EQ(T(n).fieldLast, 40);
}

} // namespace
