// A TEDS window's life: the close box hides it, a job that removes its own node leaves
// no dangling window (run this under AddressSanitizer too), jobs for a window that went
// are dropped, a node that goes with unwritten edits does not take them along (it
// leaves them in a window of its own), and binding errors reach the trace.

#include "tedsfixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>

namespace {

using namespace teds_test;

TEST_F(TedsWindowTest, TheCloseBoxHidesTheWindowAndKeepsItLoaded)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    w->reqShow();
    EXPECT_TRUE(w->isVisible());
    core::coreState().TedsF_loaded = true;
    w->mnuTemplate_Click(editor::TemplateReadOnly);
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->FormLoaded);
    EXPECT_EQ(window(kSwitch), w);
    // Linked: TedsF_loaded stays; the state is reset.
    EXPECT_TRUE(core::coreState().TedsF_loaded);
    EXPECT_EQ(w->doc.lockState(), editor::LockReadOnly);
    // The unlinked shared window clears it.
    editor::TedsF& shared = factory.shared();
    shared.show();
    shared.close();
    EXPECT_FALSE(shared.isVisible());
    EXPECT_FALSE(core::coreState().TedsF_loaded);
}

TEST_F(TedsWindowTest, AWriteThatRemovesItsOwnNodeLeavesNoDanglingWindow)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    QPointer<editor::TedsF> alive(w);
    w->reqShow();
    // Write, then a read queued behind it for the same window.
    w->mnuNode_Click(editor::NodeWrite);
    w->mnuNode_Click(editor::NodeRead);
    trace.lines.clear();
    shell::jobQueue().tick();
    EXPECT_FALSE(listed(k4k));
    // Unloaded (hidden) by its own job, destroyed only once the tick is over.
    ASSERT_TRUE(alive);
    EXPECT_FALSE(alive->isVisible());
    EXPECT_FALSE(alive->FormLoaded);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    // The node went with its whole transducer group.
    EXPECT_GE(shell::collectDeferred(), 1);
    EXPECT_FALSE(alive);
    // The next scan finds the node again with a new window.
    scan();
    EXPECT_NE(window(k4k), nullptr);
}

TEST_F(TedsWindowTest, AnEraseThatRemovesItsOwnNodeLeavesNoDanglingWindow)
{
    loadDemo();
    scan();
    QPointer<editor::TedsF> alive(window(k4k));
    ASSERT_TRUE(alive);
    box.queue(platform::MsgOK);
    alive->mnuNode_Click(editor::NodeFill);
    shell::jobQueue().tick();
    ASSERT_TRUE(alive);
    shell::collectDeferred();
    EXPECT_FALSE(alive);
}

TEST_F(TedsWindowTest, ANodeThatGoesWithUnwrittenEditsLeavesThemInAWindowOfTheirOwn)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    int k = 0;  // Measurement location ID, a user row
    while (k < editor::kRowCount && w->doc.rows[static_cast<std::size_t>(k)].caption != "Measurement location ID")
        ++k;
    ASSERT_LT(k, editor::kRowCount);
    w->Col2[k]->setText("321");
    w->Col2_LostFocus(k);
    ASSERT_TRUE(w->hasUnwrittenChanges());

    // The node is unplugged; the scan ages it out.
    auto gone = net->removeNode(*platform::sim::RomCode::fromNodeId(k4k));
    ASSERT_TRUE(gone);
    box.clear();
    for (int i = 0; i < 4 && listed(k4k); ++i)
        scan();
    ASSERT_FALSE(listed(k4k));
    shell::collectDeferred();
    QApplication::processEvents();

    ASSERT_EQ(factory.keptWindows().size(), 1u);
    editor::TedsF& kept = *factory.keptWindows()[0];
    EXPECT_EQ(kept.doc.rows[k].value, "321");
    EXPECT_FALSE(kept.doc.LinkedToNode);
    EXPECT_TRUE(kept.doc.TedsChanged);
    EXPECT_EQ(kept.ActualNodeID, k4k);
    // Not the shared window: Create empty TEDS and Read TEDS cannot replace it.
    EXPECT_EQ(factory.shared().doc.TedsBuf.Size, 0);
    EXPECT_FALSE(core::coreState().TedsF_loaded);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find(k4k), std::string::npos);
    EXPECT_NE(box.shown[0].prompt.find("is kept in a TEDS window of its own"), std::string::npos);
}

TEST_F(TedsWindowTest, ANodeThatGoesWithoutEditsTakesItsWindowQuietly)
{
    loadDemo();
    scan();
    net->removeNode(*platform::sim::RomCode::fromNodeId(k4k));
    box.clear();
    for (int i = 0; i < 4 && listed(k4k); ++i)
        scan();
    shell::collectDeferred();
    QApplication::processEvents();
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(factory.shared().doc.TedsBuf.Size, 0);
}

TEST_F(TedsWindowTest, BindingErrorsReachTheTrace)
{
    loadDemo();
    scan();
    editor::TedsF& shared = factory.shared();
    trace.lines.clear();
    shared.Inititiate(99);
    EXPECT_EQ(traceWith("Error in Sub 'Inititiate'").size(), 1u);

    // A node index past 31 (a network of many nodes): read, stored and shown like any other.
    auto& list = shell::nodesState().TrList;
    while (list.size() < 41) {
        shell::TrRecord r;
        r.id = k4k;
        r.family = 0x23;
        list.push_back(std::move(r));
    }
    editor::TedsF fresh;
    fresh.Inititiate(40);
    EXPECT_TRUE(fresh.doc.TedsShown);
    EXPECT_EQ(fresh.doc.Title, "IEEE 1451.4 Accelerometer");
    ASSERT_EQ(editor::editorState().NodeTeds.size(), 41u);
    EXPECT_EQ(editor::editorState().NodeTeds[40].id, k4k);
    EXPECT_EQ(editor::editorState().NodeTeds[40].Status, core::TedsStatusReadOk);
}

TEST_F(TedsWindowTest, ANodeThatIsNotListedChangesNoOtherRecordsSelector)
{
    loadDemo();
    scan();
    editor::TedsF& shared = factory.shared();
    shared.doc.TedsBuf = window(k4k)->doc.TedsBuf;
    shared.ActualNodeID = "0100000000000099";
    shell::record(0)->selector = -7;
    shared.ReadNode_msg(false);
    EXPECT_EQ(shell::record(0)->selector, -7);
    EXPECT_EQ(shared.doc.Title, "IEEE 1451.4 Accelerometer");
}

} // namespace
