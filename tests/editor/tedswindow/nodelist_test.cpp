// Node-list memories in the TEDS window: the display (bounded by the grid's rows) and
// the ids handed to the node list (bounded by the image), and the commit guard of the
// field grid.

#include "tedsfixture.h"

#include "core/teds/nodelistimage.h"

#include <QLineEdit>

#include <cstdio>

namespace {

using namespace teds_test;

std::string tdsText(const std::vector<std::uint8_t>& image)
{
    std::string s = "Memory Fileformat 1.2\r\n0000000000000000\r\nIEEE 1451.4\r\n";
    for (std::size_t i = 1; i < image.size(); ++i)
        s += "&H" + core::ByteToHex2(image[i]) + "\r\n";
    return s;
}

std::string listedId(int n)
{
    char buf[17];
    std::snprintf(buf, sizeof buf, "%02X%012X10", n, n);
    return buf;
}

class NodeListWindow : public TedsWindowTest {
protected:
    // A DS2433 holding a node list of n ids; returns its node id.
    std::string holder(int n)
    {
        std::vector<std::string> ids;
        for (int i = 1; i <= n; ++i)
            ids.push_back(listedId(i));
        std::vector<std::uint8_t> image;
        EXPECT_TRUE(core::encodeNodeList(ids, 496, image));
        dir.write("list.tds", tdsText(image));
        load("node 23:000000000401\ntds list.tds\n", dir.path());
        scan();
        return platform::sim::RomCode::make(0x23, 0x401).nodeId();
    }
    testing_support::TempDir dir;
};

TEST_F(NodeListWindow, AListLongerThanTheGridShowsWhatFitsAndSaysSo)
{
    const std::string id = holder(45);
    editor::TedsF* w = window(id);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(shell::record(index(id))->state, shell::TrStateNodeList);
    EXPECT_EQ(w->doc.rows[0].value, "46");
    EXPECT_EQ(w->doc.rows[40].caption, "Node no. 41,  Node ID:");
    EXPECT_EQ(w->doc.rows[40].value, listedId(40));
    EXPECT_EQ(w->nodeListTemplate.fieldLast, 40);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "The node list names 45 further nodes; 40 are shown.");
    // Reading the list hands every id the image holds to the node list.
    box.clear();
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list.size(), 45u);
    EXPECT_EQ(shell::nodesState().Node_list.front(), listedId(1));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(NodeListWindow, ReadingLeavesOutTheHolderAndRefusesABadImage)
{
    const std::string id = holder(2);
    editor::TedsF* w = window(id);
    ASSERT_NE(w, nullptr);
    // The holder's own id in its list is left out.
    const auto own = core::nodeIdToListBytes(id);
    std::copy(own.begin(), own.end(), w->doc.TedsBuf.Bytes.begin() + 12);
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list, std::vector<std::string>{listedId(1)});
    // A checksum error refuses the list.
    w->doc.TedsBuf.Status = core::TedsStatusCrcError;
    box.clear();
    w->MakeNodeListfrombuf();
    EXPECT_TRUE(shell::nodesState().Node_list.empty());
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Error in Nodelist - TEDS form"});
    // A count beyond the image: what it holds is read, and that is said.
    w->doc.TedsBuf.Status = core::TedsStatusReadOk;
    w->doc.TedsBuf.Bytes[3] = 250;
    box.clear();
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list.size(), 60u);  // 61 held, the holder left out
    EXPECT_EQ(box.prompts().size(), 1u);
}

// A message box that takes the focus from the row being committed, as a real one does.
class FocusStealingBox final : public platform::MessageBoxService {
public:
    int show(const std::string& prompt, int buttons, const std::string& title) override
    {
        prompts.push_back(prompt);
        if (onShow)
            onShow();
        return platform::MsgOK;
    }
    std::vector<std::string> prompts;
    std::function<void()> onShow;
};

TEST_F(TedsWindowTest, AMessageInsideACommitStartsNoSecondPass)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    int k = 0;
    while (k < editor::kRowCount && w->doc.rows[static_cast<std::size_t>(k)].caption != "Measurement location ID")
        ++k;
    ASSERT_LT(k, editor::kRowCount);
    FocusStealingBox stealing;
    platform::ScopedMessageBox scoped(stealing);
    stealing.onShow = [&] { w->Col2_LostFocus(k); };
    w->Col2[k]->setText("letters");
    w->Col2_LostFocus(k);
    EXPECT_EQ(stealing.prompts, std::vector<std::string>{"Not a valid number, not changed !"});
    // The refused text gives way to the stored value.
    EXPECT_EQ(w->Col2[k]->text().toStdString(), "0");
}

} // namespace
