// The node-list generator without a network: the image it builds, the devices it
// collects from the node table, and the list editing by keys, clipboard and dragging.

#include "editor/nodelist/nodelistmodel.h"

#include "core/base/corestate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"
#include "shell/state/shelllayer.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

namespace {

using editor::NodeListModel;

struct FakeView final : editor::NodeListView {
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override {}
    std::string clipboard;
};

class NodeListModelTest : public ::testing::Test {
protected:
    NodeListModelTest()
    {
        shell::jobQueue().StartJobQue();
        m.Form_Load();
    }
    void record(const std::string& id, int family, bool aging = true)
    {
        shell::TrRecord r;
        r.id = id;
        r.family = family;
        r.aging = aging;
        shell::nodesState().TrList.push_back(std::move(r));
    }
    core::TedsBuf image(int family, const std::string& target = "0000000000000123")
    {
        core::TedsBuf tb;
        EXPECT_TRUE(m.buildImage(target, family, tb));
        return tb;
    }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    FakeView view;
    NodeListModel m{&view};
};

TEST_F(NodeListModelTest, AnEntryIsStoredInOneWireOrder)
{
    m.addNode("A1B2C3D4E5F60712");
    m.ieee_version_Click(1);
    const auto tb = image(0x23);
    const std::vector<std::uint8_t> entry(tb.Bytes.begin() + 4, tb.Bytes.begin() + 12);
    EXPECT_EQ(entry, (std::vector<std::uint8_t>{0x12, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(tb.id, "0000000000000123");
    EXPECT_EQ(tb.Family, 0x23);
    EXPECT_FALSE(tb.DraftLayout);
    EXPECT_EQ(tb.Bits.size(), 8u * 496);
    EXPECT_EQ(std::count(tb.Bits.begin(), tb.Bits.end(), true), 0);
}

TEST_F(NodeListModelTest, TwoEntriesFillTheRestWithFFInEitherLayout)
{
    m.addNode("A1B2C3D4E5F60712");
    m.addNode("0102030405060710");
    struct Row {
        int option;
        int size;
    };
    for (const Row row : {Row{1, 496}, Row{0, 488}}) {
        SCOPED_TRACE(row.option);
        m.ieee_version_Click(row.option);
        const auto tb = image(0x23);
        ASSERT_EQ(tb.Size, row.size);
        ASSERT_EQ(tb.Bytes.size(), static_cast<std::size_t>(row.size) + 1);
        EXPECT_EQ(tb.Bytes[1], 0x01);
        EXPECT_EQ(tb.Bytes[2], 0x00);
        EXPECT_EQ(tb.Bytes[3], 0x03);
        EXPECT_EQ(tb.Bytes[12], 0x10);  // second entry, family code first
        EXPECT_EQ(tb.Bytes[19], 0x01);
        for (int i = 20; i <= row.size; ++i)
            ASSERT_EQ(tb.Bytes[static_cast<std::size_t>(i)], 0xFF) << i;
    }
}

TEST_F(NodeListModelTest, SizeAndRoomFollowTheFamilyAndTheLayout)
{
    struct Row {
        int family;
        bool oldLayout;
        int size;
        int room;
    };
    const Row rows[] = {
        {0x12, false, 124, 15}, {0x12, true, 116, 14}, {0x14, false, 39, 4}, {0x14, true, 31, 3},
        {0x23, false, 496, 61}, {0x23, true, 488, 60}, {0x2D, false, 124, 15}, {0x2D, true, 116, 14},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << r.family << (r.oldLayout ? " old" : " new"));
        m.ieee_version_Click(r.oldLayout ? 0 : 1);
        m.ClearNodeList();
        for (int k = 0; k < r.room; ++k)
            m.addNode("00000000000000" + std::string(1, static_cast<char>('A' + k % 6)) + "0");
        const auto tb = image(r.family);
        EXPECT_EQ(tb.Size, r.size);
        EXPECT_EQ(tb.Bytes[3], r.room + 1);
        m.addNode("0000000000000010");
        core::TedsBuf refused;
        EXPECT_FALSE(m.buildImage("0000000000000123", r.family, refused));
        EXPECT_TRUE(refused.Bytes.empty());
    }
}

TEST_F(NodeListModelTest, NetworkDevicesLeaveOutAdaptorNodesAndTheSwitchsSecondRecord)
{
    core::coreState().SwitchNodeId = "0000000000000112";
    core::coreState().AdapterId9490R = "0000000000000281";
    record("0000000000000112", 0x12);
    record("0000000000000323", 0x23);
    record("0000000000000412", 0x12);
    record("0000000000000412", 0x12, false);
    record("0000000000000281", 0x81);
    record("0000000000000510", 0x10);
    const std::vector<std::string> devices{"0000000000000323", "0000000000000412", "0000000000000510"};
    EXPECT_EQ(NodeListModel::networkDevices(), devices);
    // "Add nodes" twice lists every device twice; "Read nodes" starts afresh.
    m.AddNodes();
    m.AddNodes();
    EXPECT_EQ(m.ID_list.size(), 6u);
    m.ReadNodes();
    EXPECT_EQ(m.ID_list, devices);
}

TEST_F(NodeListModelTest, KeysEditTheListThroughTheClipboard)
{
    for (const char* id : {"A", "B", "C"})
        m.addNode(id);
    // Paste goes before the selected entry, or to the end; blanks around it go.
    view.clipboard = " P1\r\n";
    m.ListIndex = 1;
    m.ID_list_KeyDown(NodeListModel::KeyV, NodeListModel::ShiftCtrl);
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"A", "P1", "B", "C"}));
    m.ListIndex = -1;
    view.clipboard = "P2";
    m.ID_list_KeyDown(NodeListModel::KeyInsert, 0);
    EXPECT_EQ(m.ID_list.back(), "P2");
    // V without Ctrl pastes nothing.
    m.ID_list_KeyDown(NodeListModel::KeyV, 0);
    EXPECT_EQ(m.ID_list.size(), 5u);

    // Delete keeps the selection on the entry that moved up; on the last entry it
    // leaves none.
    m.ListIndex = 1;
    m.ID_list_KeyDown(NodeListModel::KeyDelete, 0);
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"A", "B", "C", "P2"}));
    EXPECT_EQ(m.ListIndex, 1);
    m.ListIndex = 3;
    m.ID_list_KeyDown(NodeListModel::KeyBack, 0);
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(m.ListIndex, -1);

    // Copy and cut.
    m.ListIndex = 0;
    m.ID_list_KeyDown(NodeListModel::KeyC, NodeListModel::ShiftCtrl);
    EXPECT_EQ(view.clipboard, "A");
    EXPECT_EQ(m.ID_list.size(), 3u);
    m.ListIndex = 2;
    m.ID_list_KeyDown(NodeListModel::KeyX, NodeListModel::ShiftCtrl);
    EXPECT_EQ(view.clipboard, "C");
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(m.ListIndex, -1);
}

TEST_F(NodeListModelTest, DraggingCarriesTheEntryAlongAndDoubleClickAsksBeforeRemoving)
{
    for (const char* id : {"A", "B", "C", "D"})
        m.addNode(id);
    m.ListIndex = 0;
    m.ID_list_MouseDown();
    m.ID_list_MouseMove(1);
    m.ID_list_MouseMove(2);
    m.ID_list_MouseMove(-1);  // off the list: nothing
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"B", "C", "A", "D"}));
    m.ID_list_MouseUp();
    m.ID_list_MouseMove(3);  // no drag any more
    EXPECT_EQ(m.DragIndex, -1);
    EXPECT_EQ(m.ID_list[3], "D");

    m.ListIndex = 1;
    box.queue(platform::MsgNo);
    m.ID_list_DblClick();
    EXPECT_EQ(m.ID_list.size(), 4u);
    box.queue(platform::MsgYes);
    m.ID_list_DblClick();
    EXPECT_EQ(m.ID_list, (std::vector<std::string>{"B", "A", "D"}));
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "Remove from list ?");
    EXPECT_EQ(box.shown[0].buttons & 7, platform::MsgYesNo);
}

TEST_F(NodeListModelTest, ButtonsQueueTheScanBeforeTheirJob)
{
    m.PrgDevice_Click();
    m.CbAddNodes_Click();
    m.ReadList_Click();
    std::vector<int> jobs;
    for (const auto& e : shell::jobQueue().JobQue()) {
        EXPECT_EQ(e.target(), &m);
        jobs.push_back(e.subno);
    }
    EXPECT_EQ(jobs, (std::vector<int>{1, 0, 1, 2, 1, 3}));
    // An unknown job says so.
    shell::jobQueue().reset();
    shell::jobQueue().StartJobQue();
    shell::jobQueue().Insert_In_JobQue(m, 9, 0LL);
    shell::jobQueue().Do_and_remove_job();
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Error: No such job in NodelistF"});
}

} // namespace
