// Finding the template of a TEDS, the display a manufacturer id selects, and empty TEDS
// made from every template of the shipped library matching that template again.

#include "core/lists/listsstate.h"
#include "tests/editor/model/doctestenv.h"

namespace {

using doctest::FieldSpec;
using editor::Display;

class Matching : public doctest::DocTest {
protected:
    // 14-bit manufacturer, 18 bits of model, an 8-bit selector at bit 32: 40 bits.
    int selectorTemplate(const std::string& name, std::int32_t match, int utidt = 2)
    {
        return addTemplate(name,
                           {{"MANUFACTURER", 14, 0, 0, "", "", 0, "Manufacturer ID"}, {"UNINT", 18, 0, 0, "0", "", 0, "Model"}},
                           {{32, 8, match}}, utidt);
    }
    void teds(int size, std::uint32_t manufacturer, std::uint32_t selector, bool draft = false)
    {
        doc.TedsBuf.dimension(size);
        doc.TedsBuf.DraftLayout = draft;
        core::Val2Bits(manufacturer, 0, 14, doc.TedsBuf);
        if (size >= 5)
            core::Val2Bits(selector, 32, 8, doc.TedsBuf);
    }
    bool match(int* index = nullptr)
    {
        int t = doc.ActualTemplate();
        const bool found = doc.GetTemplate(t);
        EXPECT_EQ(t, doc.ActualTemplate());
        if (index)
            *index = t;
        return found;
    }
};

TEST_F(Matching, Table)
{
    struct Case {
        const char* what;
        int size;
        std::uint32_t manufacturer;
        std::uint32_t selector;
        bool draft;
        bool found;
        int index;  // -1: TemplateLast, -2: the node-list pseudo-template
        int manufacturerId;
    };
    const std::vector<Case> cases = {
        {"selector of the first", 5, 31, 7, false, true, 0, 31},
        {"selector of the second", 5, 31, 9, false, true, 1, 31},
        {"no selector fits", 5, 31, 8, false, false, -1, 31},
        {"shorter than every template", 4, 31, 7, false, false, -1, 31},
        {"draft layout against UTIDT 2", 5, 31, 7, true, false, -1, 31},
        {"draft layout against UTIDT 1", 5, 31, 11, true, true, 2, 31},
        {"no draft flag against UTIDT 1", 5, 31, 11, false, false, -1, 31},
        {"manufacturer 1 never matches a selector", 5, 1, 7, false, true, -2, 1},
        {"manufacturer 0 never matches a selector", 5, 0, 7, false, false, -1, 0},
        {"node list in 4 bytes", 4, 1, 0, false, true, -2, 1},
        {"4097 is no node list", 4, 4097, 0, false, false, -1, 4097},
        {"manufacturer above 4096", 5, 8193, 9, false, true, 1, 8193},
    };
    selectorTemplate("A", 7);
    selectorTemplate("B", 9);
    selectorTemplate("Old", 11, 1);
    selectorTemplate("A again", 7);
    const int last = core::tdlState().TemplateLast;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        doc = editor::TedsDocument{};
        teds(c.size, c.manufacturer, c.selector, c.draft);
        int index = 0;
        EXPECT_EQ(match(&index), c.found);
        EXPECT_EQ(index, c.index == -1 ? last : c.index == -2 ? last + 1 : c.index);
        EXPECT_EQ(doc.TedsManufacturerId, c.manufacturerId);
        EXPECT_EQ(doc.Title, c.found ? "" : "Template not found");
        EXPECT_TRUE(box.shown.empty());
    }
}

TEST_F(Matching, TemplateWithoutSelectorsMatchesAnyManufacturer)
{
    selectorTemplate("A", 7);
    const int open = addTemplate("Open", {{"MANUFACTURER", 14, 0, 0, "", "", 0, "Manufacturer ID"}});
    teds(5, 0, 3);
    int index = 0;
    ASSERT_TRUE(match(&index));
    EXPECT_EQ(index, open);
    // Its manufacturer field holds 0: shown as a field grid (4096).
    EXPECT_EQ(doc.TedsManufacturerId, 4096);
    EXPECT_EQ(doc.ShowForm(), Display::Grid);
}

TEST_F(Matching, MatchPreparesTheGridAndTheLevels)
{
    selectorTemplate("A", 7);
    teds(5, 31, 7);
    ASSERT_TRUE(match());
    EXPECT_TRUE(doc.rows[0].visible);
    EXPECT_EQ(doc.rows[1].caption, "Model");
    EXPECT_FALSE(doc.rows[2].visible);
    const auto& levels = doc.levels();
    EXPECT_EQ(levels.ManuLevelLast, 0);
    EXPECT_EQ(levels.ManuLevelField[0], 0);
    EXPECT_EQ(levels.entries, std::vector<std::string>{"1. Manufacturer ID"});
}

TEST_F(Matching, DisplayByManufacturerId)
{
    loadLibrary();
    const int t = templateNamed(doctest::kBridgeTemplate);
    const int last = core::tdlState().TemplateLast;
    struct Case {
        int id;
        Display display;
        bool shown;
    };
    const std::vector<Case> cases = {
        {0, Display::SpecialCase, false}, {2, Display::SpecialCase, false}, {15, Display::SpecialCase, false},
        {16, Display::NotDefined, false}, {17, Display::Grid, true},         {4096, Display::Grid, true},
        {4097, Display::Grid, true},      {16381, Display::Grid, true},      {16382, Display::NotDefined, false},
        {-1, Display::NotDefined, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        doc = editor::TedsDocument{};
        doc.TedsBuf.dimension(124);
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = c.id;
        EXPECT_EQ(doc.ShowForm(), c.display);
        EXPECT_EQ(doc.TedsShown, c.shown);
        if (c.display == Display::SpecialCase) {
            EXPECT_EQ(doc.rows[1].value, "Special case, not ready yet");
        }
        if (c.display == Display::NotDefined) {
            EXPECT_EQ(doc.rows[1].value, "Memory not defined");
        }
    }
    // A node list on a window that still points at a real template.
    struct Spy : editor::TedsDocumentObserver {
        int nodeLists = 0;
        void showNodeList() override { ++nodeLists; }
        void textsChanged() override {}
        void layoutChanged() override {}
        void locksChanged() override {}
    } spy;
    doc = editor::TedsDocument{};
    doc.setObserver(&spy);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 1;
    box.clear();
    EXPECT_EQ(doc.ShowForm(), Display::NodeList);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Error in nodelist !"});
    EXPECT_EQ(doc.ActualTemplate(), last + 1);
    EXPECT_TRUE(doc.TedsShown);
    EXPECT_EQ(spy.nodeLists, 1);
}

TEST_F(Matching, ManufacturerNamesFromTheList)
{
    loadLibrary();
    const int t = templateNamed(doctest::kBridgeTemplate);
    for (auto [id, name] : std::vector<std::pair<int, std::string>>{
             {61, "Metra Mess- und Frequenztechnik (MMF), Radebeul"}, {8000, "Unknown manufacturer"}, {17, "Unknown manufacturer"}}) {
        doc = editor::TedsDocument{};
        doc.TedsBuf.dimension(124);
        core::Val2Bits(id, 0, 14, doc.TedsBuf);
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = id;
        doc.ShowForm();
        EXPECT_EQ(doc.rows[0].value, name) << id;
        EXPECT_EQ(doc.levels().ManuLevelIndex[0], core::ManufacturerIndexFromId(id));
    }
}

// Every template of the shipped library, whatever it holds: an empty TEDS made from it
// is found to be of that template again.
TEST_F(Matching, EmptyTedsOfEveryShippedTemplateMatchesIt)
{
    loadLibrary();
    auto& lists = core::listsState();
    lists.Manufacturers.setListIndex(core::ManufacturerIndexFromId(31));
    const int last = core::tdlState().TemplateLast;
    ASSERT_GE(last, 0);
    for (int t = 0; t <= last; ++t) {
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        SCOPED_TRACE(rec.name);
        doc = editor::TedsDocument{};
        ASSERT_TRUE(doc.CreateNewTEDS_force(rec.UTID));
        const int made = doc.ActualTemplate();
        EXPECT_EQ(doc.TedsBuf.Status, core::TedsStatusNotRead);
        EXPECT_EQ(doc.display, Display::Grid);
        // Read back as a node read would leave it: only the bytes.
        editor::TedsDocument again = bytesOnly(doc);
        int found = 0;
        ASSERT_TRUE(again.GetTemplate(found));
        EXPECT_EQ(core::tdlState().Templates[static_cast<std::size_t>(found)].UTID, rec.UTID);
        EXPECT_EQ(found, made);
        EXPECT_EQ(again.TedsManufacturerId, rec.manufacturerInSelector ? rec.defaultManufacturerId : 31);
        EXPECT_EQ(again.ShowForm(), Display::Grid);
        EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        box.clear();
    }
}

TEST_F(Matching, CreateNewTedsForceWithUnknownUtidChangesNothing)
{
    loadLibrary();
    doc.TedsBuf.dimension(4);
    doc.TedsBuf.id = "old";
    doc.ActualNodeID = "new";
    const auto before = doc.TedsBuf.Bytes;
    EXPECT_FALSE(doc.CreateNewTEDS_force(core::Currency::fromInteger(123456789).value()));
    EXPECT_EQ(doc.TedsBuf.Bytes, before);
    EXPECT_EQ(doc.TedsBuf.id, "old");
}

TEST_F(Matching, NewTemplateOnALockedDs2430a)
{
    const int old = selectorTemplate("Old", 11, 1);
    const int now = selectorTemplate("New", 9);
    core::listsState().Manufacturers.AddItem("M");
    core::listsState().ManufacturerIds[0] = 77;
    core::listsState().Manufacturers.setListIndex(0);
    doc.LinkedToNode = true;
    doc.AppRomLocked = true;
    doc.TedsBuf.Family = 0x14;
    doc.TedsBuf.dimension(39);
    core::Val2Bits(555, 0, 32, doc.TedsBuf);  // the basic TEDS as locked in the register
    EXPECT_FALSE(doc.GetNewTemplate(old));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{
                                 "It's not possible to change this template to V0.9 format, because the ROM memory is locked"});
    ASSERT_TRUE(doc.GetNewTemplate(now));
    EXPECT_EQ(field(0, 32), 555u);      // bits 0 .. 63 kept
    EXPECT_EQ(field(32, 8), 0u);        // the selector is in the locked part too
    EXPECT_EQ(doc.TedsBuf.Size, 39);
}

TEST_F(Matching, NewTemplateTooLargeForTheNode)
{
    const int big = addTemplate("Big", {{"UNINT", 30, 0, 0, "0"}, {"ASCII", 400}});
    doc.TedsBuf.Family = 0x14;  // 39 usable bytes
    doc.LinkedToNode = true;
    EXPECT_FALSE(doc.GetNewTemplate(big));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Requested TEDS too large for this node - no change made"});
    // Without a node the image takes exactly the template's size.
    doc.LinkedToNode = false;
    box.clear();
    ASSERT_TRUE(doc.GetNewTemplate(big));
    EXPECT_EQ(doc.TedsBuf.Size, (430 - 1) / 8 + 1);
    EXPECT_EQ(doc.NodeIdText, "No node in list");
}

// A text of bit count 0 runs to the end of the memory: the new TEDS takes the node's
// memory, or, without a node's family, the bytes a memory file holds; the text field then
// holds every whole character left.
TEST_F(Matching, NewTemplateWithATextToTheEndOfTheMemory)
{
    const int t = addTemplate("Text to the end", {{"UNINT", 30, 0, 0, "0"}, {"ASCII-7BIT", 0, 0, 0, "", "", 2, "User data"}});
    struct Case {
        int family;
        bool linked;
        int bytes;
    };
    for (const Case c : {Case{0x14, true, 39}, Case{0x2D, true, 124}, Case{0x23, true, 496}, Case{0x2D, false, 124},
                         Case{0, false, 496}}) {
        SCOPED_TRACE(std::to_string(c.family) + (c.linked ? " linked" : " not linked"));
        doc.TedsBuf = core::TedsBuf{};
        doc.TedsBuf.Family = c.family;
        doc.LinkedToNode = c.linked;
        ASSERT_TRUE(doc.GetNewTemplate(t));
        EXPECT_EQ(doc.TedsBuf.Size, c.bytes);
        EXPECT_EQ(doc.AllocateFieldSize(1, 0, 7), (8 * c.bytes - 30) / 7);
    }
    // A template without such a text keeps exactly its size.
    const int fixed = addTemplate("Fixed text", {{"UNINT", 30, 0, 0, "0"}, {"ASCII-7BIT", 70}});
    doc.TedsBuf = core::TedsBuf{};
    doc.LinkedToNode = false;
    ASSERT_TRUE(doc.GetNewTemplate(fixed));
    EXPECT_EQ(doc.TedsBuf.Size, 13);
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
