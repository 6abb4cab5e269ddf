// The create/remap dialog: its lists, the settings it keeps, creating and remapping
// through it, the manufacturer copy, and the dialog on show keeping its owner.

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "editor/createremap/newremaptemplate.h"
#include "tests/editor/model/smalllibrary.h"
#include "tests/support/qtapp.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace {

using namespace smalllib;
using editor::NewRemapModel;

class Dialog : public SmallLibraryTest {
protected:
    void SetUp() override
    {
        SmallLibraryTest::SetUp();
        core::coreState().IniPath = dir / "settings.txt";
        // Source heads a group with Target and Two makers; the rest stand alone.
        auto& lib = core::tdlState().Templates;
        for (int t : {Source, Target, TwoMakers})
            lib[static_cast<std::size_t>(t)].UGID = lib[Source].UTID;
    }
    int stored(const char* key)
    {
        int v = -99;
        core::Inifile_Read_Integer_Value(core::coreState().IniPath, key, v);
        return v;
    }
    void store(const char* key, int v) { core::Inifile_CreateKeyWithValue(core::coreState().IniPath, key, v); }
    // The document's bytes read back as a node read would leave them.
    int matchedAgain() const
    {
        editor::TedsDocument again = bytesOnly(doc);
        int found = -1;
        return again.GetTemplate(found) ? found : -1;
    }

    NewRemapModel m;
};

TEST_F(Dialog, CreateModeWithoutSettings)
{
    m.Initiate(NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.windowCaption(), "Tedsmith - Create empty TEDS");
    EXPECT_EQ(m.command1Caption(), "Get new template");
    EXPECT_FALSE(m.copyManufacturerVisible());
    EXPECT_EQ(m.ugidEntries(), (std::vector<std::string>{"all", "Source"}));
    EXPECT_EQ(m.GroupMap(), (std::vector<int>{0, Source}));
    EXPECT_EQ(m.ugidIndex(), 0);
    EXPECT_EQ(m.templateEntries().size(), static_cast<std::size_t>(Big + 1));
    // No template has the default UTID: the first template and the first manufacturer.
    EXPECT_EQ(m.ReadTemplateSelector(), 0);
    EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), 0);
    // With such a template, that one.
    core::tdlState().Templates[Fixed].UTID = core::Currency::fromInteger(116225).value();
    m.Initiate(NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.ReadTemplateSelector(), Fixed);
    EXPECT_EQ(m.utidText(), "116225");
    EXPECT_EQ(m.usedBitsText(), "29");
    // Fixed manufacturer: list locked on it.
    EXPECT_TRUE(m.manufacturersLocked());
    EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), core::ManufacturerIndexFromId(45));
}

TEST_F(Dialog, CreateModeRestoresAndKeepsTheLastChoices)
{
    store(editor::kLastUgidKey, 1);
    store(editor::kLastCreateKey, 2);
    store(editor::kLastManufacturerKey, 3);
    m.Initiate(NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.templateEntries(), (std::vector<std::string>{"Source", "Target", "Two makers"}));
    EXPECT_EQ(m.ReadTemplateSelector(), TwoMakers);
    EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), 3);
    EXPECT_EQ(m.levels().entries, (std::vector<std::string>{"1. Sensor manufacturer", "2. Cable manufacturer"}));
    // Each choice of the user is written at once.
    m.chooseTemplate(0);
    EXPECT_EQ(stored(editor::kLastCreateKey), 0);
    m.chooseManufacturer(1);
    EXPECT_EQ(stored(editor::kLastManufacturerKey), 1);
    m.chooseGroup(0);
    EXPECT_EQ(stored(editor::kLastUgidKey), 0);
    EXPECT_EQ(m.templateEntries().size(), static_cast<std::size_t>(Big + 1));
    // A stored position outside its list: the first template and manufacturer.
    store(editor::kLastUgidKey, 1);
    store(editor::kLastCreateKey, 7);
    m.Initiate(NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.ReadTemplateSelector(), 0);
    EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), 0);
}

TEST_F(Dialog, ManufacturerListRules)
{
    auto& lists = core::listsState();
    lists.Manufacturers.Clear();
    const std::vector<std::pair<int, std::string>> makers = {
        {31, "HBM"}, {1027, "Old alias"}, {17, "Seventeen"}, {1026, "Other alias"}, {18, "Eighteen"}};
    for (std::size_t p = 0; p < makers.size(); ++p) {
        lists.ManufacturerIds[p] = makers[p].first;
        lists.Manufacturers.AddItem(makers[p].second);
    }
    m.Initiate(NewRemapModel::CreateMode, doc);
    for (auto [from, to] : {std::pair{1, 2}, std::pair{3, 4}, std::pair{0, 0}}) {
        m.chooseManufacturer(from);
        m.chooseTemplate(1);
        EXPECT_EQ(lists.Manufacturers.ListIndex(), to) << from;
    }
    EXPECT_EQ(m.getManufacturerCode(""), 31);
    EXPECT_EQ(lists.Manufacturers.ListIndex(), 0);
    EXPECT_EQ(m.getManufacturerCode("EIGHT"), 18);
    EXPECT_EQ(m.getManufacturerCode("nobody"), -1);
    EXPECT_EQ(lists.Manufacturers.ListIndex(), 4);
}

TEST_F(Dialog, ThreeManufacturerLevels)
{
    const int three = addTemplate("Three", {{"MANUFACTURER", 14, 0, 0, "", "", 0, "Sensor"},
                                            {"MANUFACTURER", 14, 0, 0, "", "", 0, "Cable"},
                                            {"UNINT", 8, 0, 0, "0", "", 0, "Model"},
                                            {"MANUFACTURER", 14, 0, 0, "", "", 0, "Amplifier"}});
    m.UpdateManufactorLevels(three);
    EXPECT_EQ(m.levels().entries, (std::vector<std::string>{"1. Sensor", "2. Cable", "3. Amplifier"}));
    EXPECT_EQ(m.levels().ManuLevelLast, 2);
    EXPECT_EQ(m.levels().ManuLevelField, (std::vector<int>{0, 1, 3, 0}));
    EXPECT_EQ(m.levels().ManuLevelIndex, (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(m.manufacturerFieldIndex(), 0);
}

TEST_F(Dialog, EveryTemplateCreatedThroughTheDialogMatchesItself)
{
    int hidden = 0;
    m.hide = [&hidden] { ++hidden; };
    for (int t = 0; t <= Big; ++t) {
        SCOPED_TRACE(t);
        doc = editor::TedsDocument{};
        m.Initiate(NewRemapModel::CreateMode, doc);
        m.chooseTemplate(t);  // "all" lists every template in library order
        m.chooseManufacturer(core::ManufacturerIndexFromId(61));
        ASSERT_TRUE(m.Command1_Click());
        EXPECT_TRUE(m.GotTemplate());
        EXPECT_EQ(doc.ActualTemplate(), t);
        EXPECT_EQ(matchedAgain(), t);
        EXPECT_EQ(doc.TedsManufacturerId, t == Fixed ? 45 : 61);
        EXPECT_EQ(hidden, t + 1);
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Dialog, RemapMode)
{
    choose(61);  // chosen last, for another TEDS
    ASSERT_TRUE(doc.GetNewTemplate(Source));
    doc.setRowValue(2, "77");
    doc.updatebuf();
    choose(31);
    doc.UpdateManufactorBits(-1);  // the TEDS's own manufacturer is 31 ...
    doc.TedsManufacturerId = 31;
    choose(17);                    // ... while the list shows another
    m.Initiate(NewRemapModel::RemapMode, doc);
    EXPECT_EQ(m.windowCaption(), "Tedsmith - Remap TEDS");
    EXPECT_EQ(m.command1Caption(), "Remap actual template to this");
    EXPECT_TRUE(m.copyManufacturerVisible());
    EXPECT_EQ(m.templateEntries(), (std::vector<std::string>{"Source", "Target", "Two makers"}));
    EXPECT_EQ(m.ReadTemplateSelector(), Source);
    EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), core::ManufacturerIndexFromId(31));
    // The actual template again: the four-line message, the dialog stays.
    EXPECT_FALSE(m.Command1_Click());
    EXPECT_FALSE(m.GotTemplate());
    EXPECT_EQ(box.prompts(), std::vector<std::string>{
                                 "Source and destination is the same\r\nTo Change Manufacturer field :\r\n"
                                 "\"File\" - \"Remap TEDS\", select manufacturer and click:\r\n"
                                 "\"Copy Manufacturer to selected field\", and then click \"Close\""});
    box.clear();
    m.chooseTemplate(1);
    ASSERT_TRUE(m.Command1_Click());
    EXPECT_TRUE(m.GotTemplate());
    EXPECT_EQ(doc.ActualTemplate(), Target);
    EXPECT_EQ(field(0, 14), 31u);  // the manufacturer did not change
    EXPECT_EQ(field(29, 16), 77u);
    // A template without a group is listed alone.
    ASSERT_TRUE(doc.GetNewTemplate(Fixed));
    m.Initiate(NewRemapModel::RemapMode, doc);
    EXPECT_EQ(m.templateEntries(), std::vector<std::string>{"Fixed"});
}

TEST_F(Dialog, ARemapLeavesTheCreateDialogsMemoryAlone)
{
    // The create dialog last chose "Fixed" from "all".
    m.Initiate(NewRemapModel::CreateMode, doc);
    m.chooseGroup(0);
    m.chooseTemplate(Fixed);
    ASSERT_EQ(stored(editor::kLastCreateKey), Fixed);
    ASSERT_EQ(stored(editor::kLastUgidKey), 0);

    // A remap in Source's group: its positions are those of the group's list.
    choose(61);
    ASSERT_TRUE(doc.GetNewTemplate(Source));
    m.Initiate(NewRemapModel::RemapMode, doc);
    m.chooseTemplate(1);
    m.chooseManufacturer(core::ManufacturerIndexFromId(17));
    ASSERT_TRUE(m.Command1_Click());
    ASSERT_EQ(doc.ActualTemplate(), Target);
    m.Initiate(NewRemapModel::RemapMode, doc);
    m.chooseGroup(1);
    m.Cancel_Button_Click();
    EXPECT_EQ(stored(editor::kLastCreateKey), Fixed);
    EXPECT_EQ(stored(editor::kLastUgidKey), 0);
    // The manufacturer list is the same in both modes: its choice is kept.
    EXPECT_EQ(stored(editor::kLastManufacturerKey), core::ManufacturerIndexFromId(17));

    // The next create preselects what the create dialog chose.
    m.Initiate(NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.ugidIndex(), 0);
    EXPECT_EQ(m.ReadTemplateSelector(), Fixed);
}

TEST_F(Dialog, CopyManufacturerToOneLevel)
{
    choose(61);
    ASSERT_TRUE(doc.GetNewTemplate(TwoMakers));
    doc.SetLockState(editor::LockEditing);
    m.Initiate(NewRemapModel::RemapMode, doc);
    m.chooseManufacturerField(1);
    m.chooseManufacturer(core::ManufacturerIndexFromId(17));
    m.CopyManu_template_Click();
    EXPECT_EQ(field(0, 14), 61u);
    EXPECT_EQ(field(29, 14), 17u);
    EXPECT_EQ(doc.rows[2].value, "Seventeen Sensors");
    // Another template selected: refused, nothing written.
    m.chooseTemplate(0);
    m.chooseManufacturer(core::ManufacturerIndexFromId(31));
    m.CopyManu_template_Click();
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Requires that selected template is the same as actual template"});
    EXPECT_EQ(field(29, 14), 17u);
}

TEST_F(Dialog, OnShowItKeepsItsOwnerAndMode)
{
    testing_support::ensureApplication();
    editor::NewRemapTemplate dialog;
    editor::setTemplateDialogHook(&dialog);
    ASSERT_TRUE(doc.GetNewTemplate(Source));
    dialog.Initiate(NewRemapModel::RemapMode, doc);
    dialog.show();
    EXPECT_EQ(dialog.SelectTemplate->count(), 3);
    EXPECT_TRUE(dialog.CopyManu_template->isVisible());
    EXPECT_FALSE(dialog.ugidFrame->isVisible());
    // A job of another window matches a TEDS meanwhile.
    editor::TedsDocument other;
    other.TedsBuf.dimension(5);
    core::Val2Bits(31, 0, 14, other.TedsBuf);
    core::Val2Bits(104, 29, 8, other.TedsBuf);
    other.TedsBuf.DraftLayout = true;
    int t = 0;
    ASSERT_TRUE(other.GetTemplate(t));
    EXPECT_EQ(t, OldLayout);
    EXPECT_EQ(dialog.model.owner(), &doc);
    EXPECT_EQ(dialog.model.DialogMode(), NewRemapModel::RemapMode);
    EXPECT_EQ(dialog.model.ReadTemplateSelector(), Source);
    // The user's choice in the view reaches the model; Close hides.
    dialog.SelectTemplate->setCurrentIndex(1);
    EXPECT_EQ(dialog.model.ReadTemplateSelector(), Target);
    dialog.Cancel_Button->click();
    EXPECT_FALSE(dialog.isVisible());
    // Hidden, a match prepares it for the matching document.
    ASSERT_TRUE(other.GetTemplate(t));
    EXPECT_EQ(dialog.model.owner(), &other);
    EXPECT_EQ(dialog.model.ReadTemplateSelector(), OldLayout);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Tedsmith - Create empty TEDS");
    editor::setTemplateDialogHook(nullptr);
}

} // namespace

namespace {

class ShippedLibrary : public doctest::DocTest {};

// Every template of the shipped library, chosen in the dialog with the last manufacturer
// of the list: the empty TEDS is found to be of that template again.
TEST_F(ShippedLibrary, EveryTemplateCreatedThroughTheDialogMatchesItself)
{
    loadLibrary();
    NewRemapModel m;
    const int last = core::tdlState().TemplateLast;
    ASSERT_GT(last, 100);
    for (int t = 0; t <= last; ++t) {
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        SCOPED_TRACE(rec.name);
        doc = editor::TedsDocument{};
        m.Initiate(NewRemapModel::CreateMode, doc);
        m.chooseGroup(0);
        m.chooseTemplate(t);
        m.chooseManufacturer(core::ManufacturerIndexFromId(61));
        ASSERT_TRUE(m.Command1_Click());
        editor::TedsDocument again = bytesOnly(doc);
        int found = -1;
        ASSERT_TRUE(again.GetTemplate(found));
        EXPECT_EQ(core::tdlState().Templates[static_cast<std::size_t>(found)].UTID, rec.UTID);
        EXPECT_EQ(again.TedsManufacturerId, rec.manufacturerInSelector ? rec.defaultManufacturerId : 61);
        ASSERT_TRUE(box.shown.empty()) << box.prompts().front();
    }
}

} // namespace
