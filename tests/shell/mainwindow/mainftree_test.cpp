// Clicks on the main window's node tree: a left click posts job 3 for the clicked node
// (nothing while intake is stopped), which runs at the next turn of the event loop, not at
// the queue's next tick; a right click copies the id to the system clipboard.

#include "mainffixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

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

// Counts the search steps; the network is empty.
struct CountingBus final : shell::ScanBus {
    shell::SearchStep findNext() override
    {
        ++steps;
        return {true, false, true, "", 0};
    }
    std::optional<shell::TemperatureReading> readTemperature(int) override { return std::nullopt; }
    int steps = 0;
};

TEST_F(TreeClick, AClickIsAnsweredAtTheNextTurnOfTheEventLoopWithoutAScanPass)
{
    CountingBus bus;
    shell::setScanBus(&bus);
    std::vector<std::string> opened;
    main->DoTreeview_Select = [&] { opened.push_back(shell::nodesState().tree.node(main->SelectedTreeNode).key); };
    formLoad();
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    shell::ifaceState().CommMode = shell::kModeScanning;
    main->ProcessJobQue->stop();
    QTreeWidgetItem* item = main->TRTreeView->topLevelItem(0)->child(0);
    ASSERT_NE(item, nullptr);
    main->TRTreeView->expandAll();
    QTest::mouseClick(main->TRTreeView->viewport(), Qt::LeftButton, {}, main->TRTreeView->visualItemRect(item).center());
    // Not from inside the click: at the next turn.
    EXPECT_TRUE(opened.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, std::vector<std::string>{"id" + id});
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    EXPECT_EQ(bus.steps, 0);
    // The periodic tick still scans.
    tick();
    EXPECT_EQ(bus.steps, 1);
    shell::setScanBus(nullptr);
}

} // namespace
