// Clicks on the main window's node tree: a left click posts job 3 for the clicked node
// (nothing while intake is stopped), a right click copies the id to the system clipboard.

#include "mainffixture.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

using mainf_test::MainFTest;

class TreeClick : public MainFTest {
protected:
    TreeClick()
    {
        shell::NodeTree::Handle h = 0;
        shell::New_Transducer("New node", id, 0x23, h);
        idNode = h;
    }
    const std::string id = "A900000091E4D223";
    shell::NodeTree::Handle idNode = 0;
};

TEST_F(TreeClick, ALeftClickPostsJobThreeForTheNode)
{
    auto& q = shell::jobQueue();
    q.StartJobQue();
    main->TRTreeView_NodeClick(idNode, 1);
    EXPECT_EQ(main->SelectedTreeNode, idNode);
    EXPECT_EQ(main->TRTreeView->toolTip(), "press F5 to refresh tree");
    ASSERT_EQ(q.JobQueLast(), 0);
    EXPECT_EQ(q.head().subno, 3);
    EXPECT_EQ(q.head().target(), main.get());

    // Intake stopped: the node is remembered, nothing is posted.
    q.reset();
    q.TimeoutJobQue();
    const auto top = shell::nodesState().tree.parent(idNode);
    main->TRTreeView_NodeClick(top, 1);
    EXPECT_EQ(main->SelectedTreeNode, top);
    EXPECT_EQ(q.JobQueLast(), -1);
}

TEST_F(TreeClick, ARightClickCopiesTheIdOnYes)
{
    QGuiApplication::clipboard()->setText("old");
    box.queue(platform::MsgNo);
    main->TRTreeView_NodeClick(idNode, 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "old");
    box.queue(platform::MsgYes);
    main->TRTreeView_NodeClick(idNode, 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), id);
    EXPECT_EQ(main->SelectedTreeNode, shell::NodeTree::None);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
}

} // namespace
