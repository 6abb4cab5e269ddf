// The TEDS window's menus: the plain state rules, and what a linked, an unlinked, a
// node-list and an unknown-template window show.

#include "tedsfixture.h"

#include "editor/tedswindow/tedsmenus.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {

using namespace teds_test;
using editor::TedsMenus;

std::vector<bool> visibleNodeItems(const TedsMenus& m)
{
    std::vector<bool> v;
    for (const auto& i : m.mnuNode)
        v.push_back(i.visible);
    return v;
}

TEST(TedsMenus, CaptionsAsTheProgramSpellsThem)
{
    const TedsMenus m;
    EXPECT_EQ(m.mnuFile[0].caption, "Read TEDS");
    EXPECT_EQ(m.mnuFile[4].caption, "Save TEDS as rtf document");
    EXPECT_EQ(m.mnuNode[1].caption, "Read node (force rom read)");
    EXPECT_EQ(m.mnuNode[3].caption, "not in use:  Write and lock ROM (page 0)");
    EXPECT_EQ(m.mnuNode[5].caption, "Fill node with FF (EE-PROM)");
    EXPECT_EQ(m.mnuTemplate[2].caption, "Show Transfere function");
}

TEST(TedsMenus, UpdateMenuStateByBinding)
{
    struct Row { const char* name; bool linked; bool trace; };
    for (const Row r : {Row{"linked", true, false}, Row{"unlinked", false, false}, Row{"linked, trace on", true, true}}) {
        SCOPED_TRACE(r.name);
        TedsMenus m;
        m.load();
        m.UpdateMenuState(r.linked, r.trace);
        EXPECT_EQ(m.nodeVisible, r.linked);
        EXPECT_FALSE(m.mnuNode[editor::NodeReadForce].visible);
        EXPECT_FALSE(m.mnuNode[editor::NodeWriteLock].visible);
        EXPECT_EQ(m.mnuNode[editor::NodeGetId].visible, r.linked);
        EXPECT_TRUE(m.mnuNode[editor::NodeGetId].enabled);
        EXPECT_TRUE(m.mnuNode[editor::NodeFill].visible);
        EXPECT_TRUE(m.mnuNode[editor::NodeWrite].enabled);
        EXPECT_TRUE(m.mnuTemplate[editor::TemplateReadOnly].enabled);
        EXPECT_EQ(m.doDebugVisible, r.trace);
    }
}

TEST(TedsMenus, TheDescriptionViewGreysReadOnlyMode)
{
    TedsMenus m;
    m.setDescription(true);
    m.UpdateMenuState(true, false);
    EXPECT_FALSE(m.mnuTemplate[editor::TemplateReadOnly].enabled);
    m.reset();
    EXPECT_TRUE(m.mnuTemplate[editor::TemplateReadOnly].checked);
    EXPECT_TRUE(m.mnuTemplate[editor::TemplateReadOnly].enabled);
    EXPECT_FALSE(m.mnuTemplate[editor::TemplateShowDescription].checked);
}

TEST(TedsMenus, ANodeListKeepsOnlyTheFillItem)
{
    TedsMenus m;
    m.UpdateMenuState(true, false);
    m.hideForNodeList();
    EXPECT_FALSE(m.fileVisible);
    EXPECT_FALSE(m.templateVisible);
    EXPECT_TRUE(m.nodeVisible);
    EXPECT_EQ(visibleNodeItems(m), (std::vector<bool>{false, false, false, false, false, true}));
    // Without the fill item the whole Node menu goes.
    TedsMenus n;
    n.mnuNode[editor::NodeFill].visible = false;
    n.hideForNodeList();
    EXPECT_FALSE(n.nodeVisible);
    n.reset();
    EXPECT_TRUE(n.fileVisible && n.nodeVisible && n.templateVisible);
}

// The windows themselves: what the menu bar shows.
class WindowMenus : public TedsWindowTest {
protected:
    static bool shown(QMenu* m) { return m->menuAction()->isVisible(); }
};

TEST_F(WindowMenus, ALinkedTedsWindow)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(shown(w->mnuFileMenu));
    EXPECT_TRUE(shown(w->mnuNodeMenu));
    EXPECT_TRUE(shown(w->mnuTemplateMenu));
    EXPECT_TRUE(w->mnuNode[editor::NodeRead]->isVisible());
    EXPECT_FALSE(w->mnuNode[editor::NodeReadForce]->isVisible());
    EXPECT_FALSE(w->mnuNode[editor::NodeWriteLock]->isVisible());
    EXPECT_TRUE(w->mnuNode[editor::NodeGetId]->isEnabled());
    EXPECT_TRUE(w->mnuTemplate[editor::TemplateReadOnly]->isChecked());
    EXPECT_FALSE(w->mnuTemplate[editor::TemplateTransfer]->isVisible());
    EXPECT_EQ(w->HelpContextID, 36);
    EXPECT_EQ(w->windowTitle(), " Tedsmith - TEDS");
}

TEST_F(WindowMenus, TheSharedWindowWithoutANodeHasNoNodeMenu)
{
    editor::TedsF& w = factory.shared();
    w.UpdateMenuState();
    EXPECT_FALSE(shown(w.mnuNodeMenu));
    EXPECT_EQ(w.ActualNodeID, "Not assigned");
}

TEST_F(WindowMenus, CreateNewTedsRunsTheDialogForTheNodeOfATreeKey)
{
    editor::TedsF& w = factory.shared();
    w.CreateNewTEDS(w, std::string("id") + k4k);
    EXPECT_EQ(w.doc.TedsBuf.id, k4k);
    EXPECT_EQ(neighbours.dialogs, std::vector<int>{0});
    EXPECT_FALSE(core::coreState().TedsF_loaded);
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    // Any other text is taken as it is; an unlinked TEDS marks the shared window loaded.
    w.CreateNewTEDS(w, "Not assigned", true);
    EXPECT_EQ(w.doc.TedsBuf.id, "Not assigned");
    EXPECT_TRUE(core::coreState().TedsF_loaded);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(WindowMenus, ANodeListWindowHidesItsMenus)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k1k);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.TedsManufacturerId, 1);
    EXPECT_FALSE(shown(w->mnuFileMenu));
    EXPECT_FALSE(shown(w->mnuTemplateMenu));
    EXPECT_TRUE(shown(w->mnuNodeMenu));
    EXPECT_FALSE(w->mnuNode[editor::NodeRead]->isVisible());
    EXPECT_TRUE(w->mnuNode[editor::NodeFill]->isVisible());
    EXPECT_EQ(w->HelpContextID, 42);
    // The display: the count and the other nodes of the transducer.
    EXPECT_EQ(w->doc.rows[0].caption, "No. of nodes in transducer");
    EXPECT_EQ(w->doc.rows[0].value, "3");
    EXPECT_EQ(w->doc.rows[1].caption, "Node no. 2,  Node ID:");
    EXPECT_EQ(w->doc.rows[2].caption, "Node no. 3,  Node ID:");
    EXPECT_FALSE(w->doc.rows[3].visible);
    // Read while the scan added it, before the transducer was grouped.
    EXPECT_EQ(w->doc.Title, "New node (Nodelist)");
    EXPECT_EQ(w->LbL_RS->toolTip(), "Nodelist's node ID");
    EXPECT_EQ(w->LblCRC256->text(), "OK");
    EXPECT_EQ(w->nodeListTemplate.lengthBits, 24 + 64 * 2);
    runJob(*w, 0);
    EXPECT_EQ(w->doc.Title, "IEEE 1451.4 Accelerometer (Nodelist)");
    EXPECT_EQ(w->TitleBox->text().toStdString(), "IEEE 1451.4 Accelerometer (Nodelist)");
    // ResetState brings the menus back.
    w->ResetState();
    EXPECT_TRUE(shown(w->mnuFileMenu));
    EXPECT_TRUE(shown(w->mnuTemplateMenu));
}

TEST_F(WindowMenus, AnUnknownTemplateWindowStaysHiddenAndShowsTheRawView)
{
    loadDemo();
    scan();
    // The demo DS2430A holds a basic TEDS that no shipped template describes.
    editor::TedsF* w = window(kApp);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.Title, "Template not found");
    EXPECT_FALSE(w->doc.TedsShown);
    EXPECT_EQ(shell::record(index(kApp))->state, shell::TrStateNotAssigned);
    EXPECT_EQ(editor::editorState().LastTedsBuf.id, kApp);
    box.clear();
    runJob(*w, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("TEDS Device = DS2430 (Application ROM not used)", 0), 0u);
    EXPECT_FALSE(w->isVisible());
    w->reqShow();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(WindowMenus, NodeMenuItemsPostTheirJobs)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    auto& q = shell::jobQueue();
    w->mnuNode_Click(editor::NodeRead);
    EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusNotRead);
    ASSERT_EQ(q.JobQueLast(), 0);
    EXPECT_EQ(q.head().subno, 0);
    q.reset();
    q.StartJobQue();
    w->doc.TedsBuf.Status = core::TedsStatusReadOk;
    w->mnuNode_Click(editor::NodeWrite);
    EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusReadOk);
    EXPECT_EQ(q.head().subno, 2);
    q.reset();
    q.StartJobQue();
    box.clear();
    w->mnuNode_Click(editor::NodeWriteLock);
    EXPECT_EQ(q.JobQueLast(), -1);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"should not occoure"});
    // "Get actual Node ID" puts the bound node's id back into the box.
    w->doc.setNodeIdText("0000000000000000");
    w->mnuNode_Click(editor::NodeGetId);
    EXPECT_EQ(w->LbL_RS->text().toStdString(), kSwitch);
}

TEST_F(WindowMenus, TemplateMenuWindowsRunModalWithIntakeStopped)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    bool intakeDuring = true;
    editor::setModalRunner([&](QDialog& d) {
        modals.push_back(d.windowTitle().toStdString());
        intakeDuring = shell::jobQueue().JobsEnabled();
    });
    w->mnuTemplate_Click(editor::TemplateInfo);
    EXPECT_EQ(modals, std::vector<std::string>{"Tedsmith - TEDS information"});
    EXPECT_FALSE(intakeDuring);
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    w->mnuTemplate_Click(editor::TemplateTransfer);
    EXPECT_EQ(modals.back(), "Tedsmith - Transfer function");
    // Read-only mode off: the calibration rows become editable, the class-3 rows not.
    w->mnuTemplate_Click(editor::TemplateReadOnly);
    EXPECT_FALSE(w->mnuTemplate[editor::TemplateReadOnly]->isChecked());
    EXPECT_EQ(w->doc.lockState(), editor::LockEditing);
    // The description view greys read-only mode and locks every row.
    w->mnuTemplate_Click(editor::TemplateShowDescription);
    EXPECT_FALSE(w->mnuTemplate[editor::TemplateReadOnly]->isEnabled());
    EXPECT_EQ(w->doc.lockState(), editor::LockDescriptions);
    EXPECT_TRUE(w->doc.descriptionView());
    w->mnuTemplate_Click(editor::TemplateShowDescription);
    EXPECT_EQ(w->doc.lockState(), editor::LockEditing);
    EXPECT_FALSE(w->doc.descriptionView());
    w->ResetState();
    EXPECT_EQ(w->doc.lockState(), editor::LockReadOnly);
    EXPECT_TRUE(w->mnuTemplate[editor::TemplateReadOnly]->isChecked());
}

} // namespace
