// A new user's first TEDS on the demo network: the unassigned DS2430A gets a TEDS of a
// template with two manufacturer levels through the create/remap dialog, each level its
// own manufacturer, written, and read back by the next scan under the transducer's name.

#include "core/lists/manufacturerlist.h"
#include "core/teds/bitfields.h"
#include "editor/createremap/newremapmodel.h"
#include "shell/nodes/nodelist.h"
#include "tests/editor/tedswindow/tedsfixture.h"
#include "editor/tedswindow/editorstate.h"

#include <QLineEdit>

#include <functional>

namespace {

using editor::NewRemapModel;
using teds_test::kApp;

// The TEDS windows' dialog: the model, driven by what the test's user does in it.
struct DialogNeighbours final : editor::StandInTedsNeighbours {
    bool runTemplateDialog(int mode, editor::TedsF& owner) override
    {
        model.Initiate(mode, owner.doc);
        if (user)
            user(model);
        return model.GotTemplate();
    }
    NewRemapModel model;
    std::function<void(NewRemapModel&)> user;
};

class FirstTeds : public teds_test::TedsWindowTest {
protected:
    FirstTeds()
    {
        // The program folder's libraries in name order, as start-up reads them.
        core::resetTdlState();
        core::ParseTemplateFile("Accessory_Templates.tdl");
        core::ParseTemplateFile("IEEE_Templates.tdl");
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        editor::setTedsNeighbours(&dialog);
    }
    int templateNamed(const std::string& name)
    {
        const auto& st = core::tdlState();
        for (int t = 0; t <= st.TemplateLast; ++t)
            if (st.Templates[static_cast<std::size_t>(t)].name == name)
                return t;
        return -1;
    }
    void type(editor::TedsF& w, int row, const char* text)
    {
        w.Col2[static_cast<std::size_t>(row)]->setText(text);
        w.Col2_LostFocus(row);
    }
    std::string treeName(const std::string& id)
    {
        auto& tree = shell::nodesState().tree;
        return tree.node(tree.parent(tree.findKey("id" + id))).text;
    }

    DialogNeighbours dialog;
};

TEST_F(FirstTeds, TwoManufacturerLevelsWrittenAndReadBack)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kApp);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(treeName(kApp), "New node");
    const int cable = templateNamed("Transducer with cable");
    ASSERT_GE(cable, 0);
    const int hbm = core::ManufacturerIndexFromId(31);
    const int metra = core::ManufacturerIndexFromId(61);

    // The tree's "memory not assigned": the create dialog for the node.
    dialog.user = [&](NewRemapModel& m) {
        EXPECT_EQ(m.DialogMode(), NewRemapModel::CreateMode);
        m.chooseTemplate(cable);
        m.chooseManufacturer(hbm);
        EXPECT_EQ(m.levels().entries, (std::vector<std::string>{"1. Manufacturer ID", "2. Cable manufacturer"}));
        EXPECT_TRUE(m.Command1_Click());
    };
    w->CreateNewTEDS(*w, std::string("id") + kApp);
    ASSERT_EQ(w->doc.ActualTemplate(), cable);
    EXPECT_EQ(w->doc.rows[5].value, "HBM (Hottinger Baldwin Messtechnik)");

    // Editing on, two values typed.
    w->mnuTemplate_Click(editor::TemplateReadOnly);
    type(*w, 1, "4711");
    type(*w, 7, "777");
    // Remap dialog: the cable maker is another one.
    dialog.user = [&](NewRemapModel& m) {
        EXPECT_EQ(m.DialogMode(), NewRemapModel::RemapMode);
        EXPECT_EQ(core::listsState().Manufacturers.ListIndex(), hbm);  // the TEDS's own
        m.chooseManufacturerField(1);
        m.chooseManufacturer(metra);
        m.CopyManu_template_Click();
        m.Cancel_Button_Click();
    };
    w->mnuTemplate_Click(editor::TemplateRemap);
    EXPECT_EQ(w->doc.rows[5].value, "Metra Mess- und Frequenztechnik (MMF), Radebeul");
    EXPECT_EQ(w->doc.rows[1].value, "4711");
    EXPECT_TRUE(box.shown.empty()) << box.prompts().front();

    // Node > "Write node": the application register too; written and verified, nothing
    // is reported as left unwritten.
    box.queue(platform::MsgOK);
    runJob(*w, 2);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Are you sure you will program the application register (ROM) in DS2430 ?"});
    EXPECT_FALSE(listed(kApp));
    EXPECT_EQ(traceWith("unwritten"), std::vector<std::string>{});
    box.clear();

    // The next scan reads it back.
    scan();
    editor::TedsF* again = window(kApp);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->doc.ActualTemplate(), cable);
    EXPECT_EQ(treeName(kApp), "Transducer with cable");
    EXPECT_EQ(again->doc.rows[0].value, "HBM (Hottinger Baldwin Messtechnik)");
    EXPECT_EQ(again->doc.rows[1].value, "4711");
    EXPECT_EQ(again->doc.rows[5].value, "Metra Mess- und Frequenztechnik (MMF), Radebeul");
    EXPECT_EQ(again->doc.rows[7].value, "777");
    EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
}

} // namespace
