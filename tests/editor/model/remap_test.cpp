// Remapping a TEDS onto another template, the manufacturer writer and tag assignment, on
// a small library of templates with duplicate tags, two manufacturer levels and a
// template that fixes its manufacturer.

#include "core/base/corestate.h"
#include "core/base/textfile.h"
#include "tests/editor/model/smalllibrary.h"

namespace {

using namespace smalllib;

class Remap : public smalllib::SmallLibraryTest {
protected:
    // A new TEDS on Source with its fields typed in.
    void source()
    {
        ASSERT_TRUE(doc.GetNewTemplate(Source));
        for (auto [k, text] : std::vector<std::pair<int, std::string>>{
                 {1, "4711"}, {2, "100"}, {3, "200"}, {4, "ABC"}, {5, "123456"}})
            doc.setRowValue(k, text);
        doc.updatebuf();
        ASSERT_TRUE(box.shown.empty()) << box.prompts().front();
    }
    std::vector<std::string> tags(int t) const
    {
        std::vector<std::string> out;
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        for (int k = 0; k <= rec.fieldLast; ++k)
            out.push_back(rec.fields[static_cast<std::size_t>(k)].tag->name + rec.fields[static_cast<std::size_t>(k)].tagName);
        return out;
    }
};

TEST_F(Remap, CarriesValuesByTagInOrderAndListsTheRest)
{
    source();
    const auto before = tags(Target);
    doc.setDescriptionView(true);  // the boxes show descriptions: values still travel
    int t = Target;
    doc.Remap_Template(t);
    EXPECT_EQ(doc.ActualTemplate(), Target);
    EXPECT_EQ(core::coreState().LastRemapTemplate, Target);
    EXPECT_EQ(field(0, 14), 31u);
    EXPECT_EQ(field(29, 16), 100u);   // first MeasID to the only one
    EXPECT_EQ(field(45, 16), 4711u);  // Model, now 16 bits wide
    EXPECT_EQ(field(61, 5), 0u);      // VersionLetter had no partner
    EXPECT_EQ(field(66, 8), 102u);    // the new selector
    EXPECT_EQ(doc.rows[1].value, "ABC");
    const std::string pad = std::string(50 - 6, ' ');
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Fields not remapped:\r\n" "MeasID" + pad + "200\r\n" "SerialNumber" +
                                                      std::string(50 - 12, ' ') + "123456\r\n"});
    EXPECT_EQ(tags(Target), before);
    // Found again as what it now is.
    editor::TedsDocument again = bytesOnly(doc);
    int found = 0;
    ASSERT_TRUE(again.GetTemplate(found));
    EXPECT_EQ(found, Target);
}

TEST_F(Remap, DuplicateTagsPairFirstWithFirst)
{
    // Target to Source: one MeasID goes to the first of two; the second stays empty.
    ASSERT_TRUE(doc.GetNewTemplate(Target));
    doc.setRowValue(2, "300");
    doc.updatebuf();
    const std::string letter = doc.rows[4].value;
    box.clear();
    int t = Source;
    doc.Remap_Template(t);
    EXPECT_EQ(field(29, 11), 300u);
    EXPECT_EQ(field(40, 11), 0u);
    EXPECT_EQ(box.prompts(),
              std::vector<std::string>{"Fields not remapped:\r\nVersionLetter" + std::string(37, ' ') + letter + "\r\n"});
    // The last remap went to Source: asking a TEDS on Source for Source is refused.
    box.clear();
    source();
    t = Source;
    doc.Remap_Template(t);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Source and distination is the same"});
}

TEST_F(Remap, SameTemplateRepeatsTheLastRemap)
{
    source();
    int t = Source;
    doc.Remap_Template(t);  // before any remap in this run
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Source and distination is the same"});
    EXPECT_EQ(doc.ActualTemplate(), Source);
    box.clear();
    t = TwoMakers;
    doc.Remap_Template(t);
    ASSERT_EQ(doc.ActualTemplate(), TwoMakers);
    ASSERT_TRUE(doc.GetNewTemplate(Source));
    box.clear();
    t = Source;  // asks for its own template: goes to the last target
    doc.Remap_Template(t);
    EXPECT_EQ(t, TwoMakers);
    EXPECT_EQ(doc.ActualTemplate(), TwoMakers);
}

TEST_F(Remap, LockedDs2430aKeepsItsBasicTeds)
{
    doc.LinkedToNode = true;
    doc.AppRomLocked = true;
    doc.TedsBuf.Family = 0x14;
    doc.TedsBuf.id = "48000001A2B3C414";
    source();
    const auto basic = field(0, 64);
    choose(61);  // another manufacturer chosen: the register keeps its own
    int t = Target;
    doc.Remap_Template(t);
    EXPECT_EQ(doc.ActualTemplate(), Target);
    EXPECT_EQ(field(0, 64), basic);
    EXPECT_EQ(field(0, 14), 31u);
    EXPECT_EQ(doc.TedsManufacturerId, 31);
    EXPECT_EQ(field(66, 8), 102u);
    // Fields in the register keep what it holds and are listed.
    ASSERT_EQ(box.prompts().size(), 1u);
    EXPECT_NE(box.prompts()[0].find("\r\nCalInitials "), std::string::npos);
    EXPECT_NE(box.prompts()[0].find("\r\nMeasID "), std::string::npos);
    // The older layout is refused on a locked register; nothing changes.
    box.clear();
    const auto bytes = doc.TedsBuf.Bytes;
    t = OldLayout;
    doc.Remap_Template(t);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{
                                 "It's not possible to change this template to V0.9 format, because the ROM memory is locked"});
    EXPECT_EQ(doc.ActualTemplate(), Target);
    EXPECT_EQ(doc.TedsBuf.Bytes, bytes);
}

TEST_F(Remap, TooLargeForTheNode)
{
    doc.LinkedToNode = true;
    doc.TedsBuf.Family = 0x14;
    source();
    int big = Big;
    doc.Remap_Template(big);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Requested TEDS too large for this node - no change made"});
    EXPECT_EQ(doc.ActualTemplate(), Source);
    EXPECT_EQ(core::coreState().LastRemapTemplate, -1);
}

TEST_F(Remap, ManufacturerLevels)
{
    choose(61);
    ASSERT_TRUE(doc.GetNewTemplate(TwoMakers));
    EXPECT_EQ(field(0, 14), 61u);
    EXPECT_EQ(field(29, 14), 61u);
    EXPECT_EQ(doc.TedsManufacturerId, 61);
    const auto& lv = doc.levels();
    EXPECT_EQ(lv.ManuLevelLast, 1);
    EXPECT_EQ(lv.entries, (std::vector<std::string>{"1. Sensor manufacturer", "2. Cable manufacturer"}));
    EXPECT_EQ(doc.Manu_Level(2), 1);
    EXPECT_EQ(doc.Manu_Level(1), 2);
    // One level at a time: only the cable maker changes.
    doc.SetLockState(editor::LockEditing);
    choose(31);
    doc.UpdateManufactorBits(1);
    EXPECT_EQ(field(0, 14), 61u);
    EXPECT_EQ(field(29, 14), 31u);
    // Read-only: the single level is refused, all levels are written.
    doc.SetLockState(editor::LockReadOnly);
    choose(17);
    doc.UpdateManufactorBits(0);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Field is \"read only\", please clear \"read only\" and try again"});
    EXPECT_EQ(field(0, 14), 61u);
    doc.UpdateManufactorBits(-1);
    EXPECT_EQ(field(0, 14), 17u);
    EXPECT_EQ(field(29, 14), 17u);
}

TEST_F(Remap, FixedManufacturerWinsOverTheListForcedOrNot)
{
    choose(61);  // whatever the dialog chose last
    doc.ActualNodeID = "";
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced);
        doc = editor::TedsDocument{};
        if (forced)
            ASSERT_TRUE(doc.CreateNewTEDS_force(core::tdlState().Templates[Fixed].UTID));
        else
            ASSERT_TRUE(doc.GetNewTemplate(Fixed));
        EXPECT_EQ(doc.ActualTemplate(), Fixed);
        EXPECT_EQ(field(0, 14), 45u);
        EXPECT_EQ(doc.TedsManufacturerId, 45);
        EXPECT_EQ(doc.levels().ManuLevelIndex[0], core::ManufacturerIndexFromId(45));
        editor::TedsDocument again = bytesOnly(doc);
        int found = 0;
        ASSERT_TRUE(again.GetTemplate(found));
        EXPECT_EQ(found, Fixed);
    }
}

TEST_F(Remap, TagAssignmentSequences)
{
    struct Line {
        const char* tag;
        const char* index;
        const char* value;
        bool noValue;
        int result;
    };
    struct Case {
        const char* what;
        int t;
        std::vector<Line> lines;
        std::vector<std::pair<int, int>> bits;  // (address, width) ...
        std::vector<std::uint64_t> expected;
    };
    const std::vector<Case> cases = {
        {"duplicates fill in order, a third has no field", Source,
         {{"MeasID", "", "7", false, 0}, {"measid", "", "8", false, 0}, {"MEASID", "", "9", false, 2}},
         {{29, 11}, {40, 11}}, {7, 8}},
        {"a line without value steps past one field", Source,
         {{"MeasID", "", "", true, 0}, {"MeasID", "", "5", false, 0}}, {{29, 11}, {40, 11}}, {0, 5}},
        {"an index the field does not have", Source, {{"Model", "[2]", "5", false, 2}, {"Model", "", "6", false, 0}},
         {{14, 15}}, {6}},
        {"manufacturer by number", Source, {{"Manufacturer", "", "61", false, 0}}, {{0, 14}}, {61}},
        {"manufacturer by name", Source, {{"Manufacturer", "", "hottinger", false, 0}}, {{0, 14}}, {31}},
        {"unknown manufacturer name changes nothing", Source,
         {{"Manufacturer", "", "Nobody at all", false, 1}}, {{0, 14}}, {17}},
        {"manufacturer by number", Source, {{"Manufacturer", "", "1234.5", false, 0}}, {{0, 14}}, {1234}},
        {"levels by repeated lines", TwoMakers,
         {{"Manufacturer", "", "61", false, 0}, {"Manufacturer", "", "31", false, 0}}, {{0, 14}, {29, 14}}, {61, 31}},
        {"fixed manufacturer: the fixed id is taken", Fixed, {{"Manufacturer", "", "45", false, 0}}, {{0, 14}}, {45}},
        {"fixed manufacturer: another id is refused", Fixed, {{"Manufacturer", "", "61", false, 1}}, {{0, 14}}, {45}},
        {"unknown tag", Source, {{"NoSuchTag", "", "1", false, 2}, {"", "", "1", false, 2}}, {{14, 15}}, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        doc = editor::TedsDocument{};
        choose(17);
        ASSERT_TRUE(doc.GetNewTemplate(c.t));
        for (const auto& l : c.lines)
            EXPECT_EQ(doc.updateTAG(l.tag, l.index, l.value, l.noValue), l.result) << l.tag << " " << l.value;
        doc.updatebuf();
        for (std::size_t i = 0; i < c.bits.size(); ++i)
            EXPECT_EQ(field(c.bits[i].first, c.bits[i].second), c.expected[i]) << i;
        EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        box.clear();
    }
}

} // namespace
