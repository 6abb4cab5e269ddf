// The create dialog remembers what the user last created ("last Create", "last UgidSelector"):
// a remap in between, whatever the user touches in it and however it ends, leaves that memory,
// and the next create dialog preselects the template created last.

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "editor/createremap/newremapmodel.h"
#include "editor/createremap/newremaptemplate.h"
#include "editor/model/tedsdocument.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

class LastChoices : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
    LastChoices()
    {
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
    }
    static std::optional<int> stored(const char* key)
    {
        int v = 0;
        if (core::Inifile_Read_Integer_Value(core::coreState().IniPath, key, v) != 0)
            return std::nullopt;
        return v;
    }
    // A group (position >= 1 of the group list) with at least three templates.
    int bigGroup(editor::NewRemapModel& m)
    {
        for (int g = 1; g < static_cast<int>(m.ugidEntries().size()); ++g) {
            m.chooseGroup(g);
            if (m.templateEntries().size() >= 3)
                return g;
        }
        return -1;
    }

    testing_support::FreshState<editor::resetEditorLayer> fresh;
    testing_support::TempDir dir;
    editor::TedsDocument doc;
};

TEST_F(LastChoices, ARemapLeavesWhatTheUserLastCreated)
{
    editor::NewRemapModel m;
    m.Initiate(editor::NewRemapModel::CreateMode, doc);
    const int g = bigGroup(m);
    ASSERT_GE(g, 1);
    m.chooseTemplate(2);
    const int created = m.ReadTemplateSelector();
    ASSERT_GE(created, 0);
    ASSERT_TRUE(m.Command1_Click());
    ASSERT_EQ(doc.ActualTemplate(), created);
    const auto lastCreate = stored(editor::kLastCreateKey);
    const auto lastGroup = stored(editor::kLastUgidKey);
    ASSERT_EQ(lastCreate, 2);
    ASSERT_EQ(lastGroup, g);

    // Remap: another template of the group chosen, the list touched, closed, then remapped.
    for (int round = 0; round < 2; ++round) {
        m.Initiate(editor::NewRemapModel::RemapMode, doc);
        const int n = static_cast<int>(m.templateEntries().size());
        ASSERT_GE(n, 2);
        for (int p = n - 1; p >= 0; --p)
            m.chooseTemplate(p);
        m.chooseManufacturerField(0);
        m.chooseManufacturer(3);
        if (round == 0) {
            m.Cancel_Button_Click();
        } else {
            const int other = m.TemplateMap()[0] == doc.ActualTemplate() ? 1 : 0;
            m.chooseTemplate(other);
            ASSERT_TRUE(m.Command1_Click());
        }
        EXPECT_EQ(stored(editor::kLastCreateKey), lastCreate) << "round " << round;
        EXPECT_EQ(stored(editor::kLastUgidKey), lastGroup) << "round " << round;
    }

    // The next create dialog: the group and the template created last.
    m.Initiate(editor::NewRemapModel::CreateMode, doc);
    EXPECT_EQ(m.ugidIndex(), g);
    EXPECT_EQ(m.ReadTemplateSelector(), created);
}

TEST_F(LastChoices, TheDialogsRemapListLeavesTheMemoryToo)
{
    editor::NewRemapTemplate dialog;
    dialog.Initiate(editor::NewRemapModel::CreateMode, doc);
    const int g = bigGroup(dialog.model);
    ASSERT_GE(g, 1);
    dialog.model.chooseTemplate(1);
    const int created = dialog.model.ReadTemplateSelector();
    ASSERT_TRUE(dialog.model.Command1_Click());
    const auto lastCreate = stored(editor::kLastCreateKey);
    const auto lastGroup = stored(editor::kLastUgidKey);

    // The user picks entries of the remap list and the group box through the widgets.
    dialog.Initiate(editor::NewRemapModel::RemapMode, doc);
    dialog.show();
    for (int p = dialog.SelectTemplate->count() - 1; p >= 0; --p)
        dialog.SelectTemplate->setCurrentIndex(p);
    if (dialog.UgidSelector->count() > 0)
        dialog.UgidSelector->setCurrentIndex(dialog.UgidSelector->count() - 1);
    dialog.close();
    EXPECT_EQ(stored(editor::kLastCreateKey), lastCreate);
    EXPECT_EQ(stored(editor::kLastUgidKey), lastGroup);

    dialog.Initiate(editor::NewRemapModel::CreateMode, doc);
    EXPECT_EQ(dialog.model.ReadTemplateSelector(), created);
    EXPECT_EQ(dialog.SelectTemplate->currentIndex(), dialog.model.templatePosition());
}

} // namespace
