// The node-list generator on the simulated network: collecting ids, writing a list
// into the one device present, reading it back through the TEDS window, the grouping
// after the rescan, and every refusal (nothing reaches the node then).

#include "tests/editor/tedswindow/tedsfixture.h"

#include "core/teds/nodelistimage.h"
#include "editor/nodelist/nodelistmodel.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simscratcheeprom.h"

namespace {

using namespace teds_test;
using platform::sim::RomCode;

const std::string kList = RomCode::make(0x23, 0x401).nodeId();   // holds the list
const std::string kTemp = RomCode::make(0x10, 0x402).nodeId();   // thermometer
const std::string kMem = RomCode::make(0x2D, 0x403).nodeId();    // a further memory
const std::string kSmall = RomCode::make(0x14, 0x404).nodeId();  // DS2430A
const std::string kEprom = RomCode::make(0x12, 0x405).nodeId();  // DS2406

const char* kListNode = "node 23:000000000401\n";
const char* kTempNode = "node 10:000000000402\n";
const char* kMemNode = "node 2D:000000000403\n";

class NodeListWrite : public TedsWindowTest {
protected:
    NodeListWrite() { model.Form_Load(); }

    // Runs the queue once (the jobs the buttons posted).
    void runQueue() { shell::jobQueue().tick(); }
    void network(const std::string& description)
    {
        load(description);
        model.UpdateNodes();
    }
    std::vector<std::uint8_t> memoryOf(const std::string& id)
    {
        auto n = node(id);
        if (auto* e = dynamic_cast<platform::sim::SimScratchEeprom*>(n.get()))
            return e->memory();
        if (auto* s = dynamic_cast<platform::sim::SimDs2430*>(n.get()))
            return {s->memory().begin(), s->memory().end()};
        return {};
    }
    std::vector<std::string> logLines() const
    {
        std::vector<std::string> out;
        std::string s = model.activityLog;
        for (std::size_t at = 0; (at = s.find("\r\n")) != std::string::npos;) {
            s = s.substr(at + 2);
            out.push_back(s.substr(0, s.find("\r\n")));
        }
        return out;
    }
    shell::NodeTree::Handle topOf(const std::string& id)
    {
        const auto& tree = shell::nodesState().tree;
        auto h = tree.findKey("id" + id);
        while (h != shell::NodeTree::None && tree.parent(h) != shell::NodeTree::None)
            h = tree.parent(h);
        return h;
    }

    editor::NodeListModel model;
};

TEST_F(NodeListWrite, AListCollectedWrittenAndRescannedGroupsTheTransducer)
{
    // The further nodes alone: "Read nodes" collects them (job 1 rescans first).
    load(std::string(kTempNode) + kMemNode);
    model.addNode("stale entry");
    model.ReadList_Click();
    runQueue();
    EXPECT_EQ(model.ID_list, (std::vector<std::string>{kTemp, kMem}));

    // The memory alone: "Write nodelist" writes into it.
    load(kListNode);
    model.ieee_version_Click(1);
    model.PrgDevice_Click();
    runQueue();
    EXPECT_EQ(logLines(), std::vector<std::string>{"Writing nodelist succeeded"});
    const auto mem = memoryOf(kList);
    ASSERT_EQ(mem.size(), 512u);
    // Page 1: checksum byte, then the TEDS bytes.
    const std::vector<std::uint8_t> head(mem.begin() + 1, mem.begin() + 20);
    std::vector<std::uint8_t> want{0x01, 0x00, 0x03};
    for (const auto& id : {kTemp, kMem}) {
        const auto b = core::nodeIdToListBytes(id);
        want.insert(want.end(), b.begin(), b.end());
    }
    EXPECT_EQ(head, want);
    EXPECT_EQ(mem[20], 0xFF);
    // The written node left the table, so the next scan reads it again.
    EXPECT_FALSE(listed(kList));

    // The whole transducer: the rescan reads the list and groups the three nodes.
    load(std::string(kListNode) + kTempNode + kMemNode);
    shell::jobQueue().Insert_In_JobQue(model, 1, 0LL);
    runQueue();
    ASSERT_TRUE(listed(kList) && listed(kTemp) && listed(kMem));
    EXPECT_EQ(shell::nodesState().tree.roots().size(), 1u);
    EXPECT_EQ(topOf(kTemp), topOf(kList));
    EXPECT_EQ(topOf(kMem), topOf(kList));

    // The TEDS window shows the list as written.
    editor::TedsF* w = window(kList);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.rows[0].value, "3");
    EXPECT_EQ(w->doc.rows[1].value, kTemp);
    EXPECT_EQ(w->doc.rows[2].value, kMem);
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list, (std::vector<std::string>{kTemp, kMem}));
}

TEST_F(NodeListWrite, TheHoldersOwnIdIsLeftOutWhenTheListIsReadBack)
{
    network(std::string(kListNode) + kTempNode);
    for (const auto& id : {kTemp, kList})
        model.addNode(id);
    ASSERT_TRUE(model.DO_PrgDevice(kList));
    model.UpdateNodes();
    editor::TedsF* w = window(kList);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.rows[2].value, kList);
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list, std::vector<std::string>{kTemp});
}

TEST_F(NodeListWrite, AListTheDeviceCannotHoldIsRefusedAndNothingIsWritten)
{
    // The longest list that fits is written; one more is refused, in either layout.
    network(kMemNode);
    struct Row {
        int option;
        int room;
    };
    for (const Row row : {Row{1, 15}, Row{0, 14}}) {
        SCOPED_TRACE(row.option);
        model.ieee_version_Click(row.option);
        model.ClearNodeList();
        for (int k = 1; k <= row.room; ++k)
            model.addNode(RomCode::make(0x10, 0x500 + k).nodeId());
        ASSERT_TRUE(model.DO_PrgDevice(kMem));
        model.UpdateNodes();
        const auto before = memoryOf(kMem);
        model.addNode(RomCode::make(0x10, 0x600).nodeId());
        box.clear();
        model.cbClearLog_Click();
        EXPECT_FALSE(model.DO_PrgDevice(kMem));
        EXPECT_EQ(box.prompts(), std::vector<std::string>{
                                     "The nodelist holds " + std::to_string(row.room + 1) +
                                     " node IDs, a DS2431 holds at most " + std::to_string(row.room) +
                                     (row.option == 0 ? " in the IEEE P1451.4 layout" : " in the IEEE 1451.4 v 3.0 layout")});
        EXPECT_EQ(logLines().back(), "Writing failed");
        EXPECT_EQ(memoryOf(kMem), before);
        EXPECT_TRUE(listed(kMem));
    }
}

TEST_F(NodeListWrite, EntriesThatAreNoNodeIdsAndDuplicatesAreReportedBeforeWriting)
{
    network(kMemNode);
    const auto before = memoryOf(kMem);
    struct Row {
        std::vector<std::string> entries;
        std::string message;
    };
    const Row rows[] = {
        {{kTemp, "A1B2C3D4E5F6071", "A1B2C3D4E5F6071G", ""},
         "Not a node ID of 16 hexadecimal characters: \"A1B2C3D4E5F6071\", \"A1B2C3D4E5F6071G\", (empty)"},
        {{kTemp, "a1b2c3d4e5f60712", kTemp, "A1B2C3D4E5F60712"},
         "Listed more than once: \"" + kTemp + "\", \"A1B2C3D4E5F60712\""},
    };
    for (const Row& r : rows) {
        model.ClearNodeList();
        for (const auto& e : r.entries)
            model.addNode(e);
        box.clear();
        model.cbClearLog_Click();
        EXPECT_FALSE(model.DO_PrgDevice(kMem));
        EXPECT_EQ(box.prompts(), std::vector<std::string>{r.message});
        EXPECT_EQ(logLines(), (std::vector<std::string>{r.message, "Writing failed"}));
    }
    // Lower-case digits are a node id all the same.
    model.ieee_version_Click(1);
    model.ClearNodeList();
    model.addNode("a1b2c3d4e5f60712");
    EXPECT_EQ(memoryOf(kMem), before);
    EXPECT_TRUE(model.DO_PrgDevice(kMem));
    EXPECT_EQ(memoryOf(kMem)[4], 0x12);
    EXPECT_EQ(memoryOf(kMem)[11], 0xA1);
}

TEST_F(NodeListWrite, NoWriteWithoutExactlyOneDeviceOrAMemoryToWrite)
{
    // Job 0 with none and with two devices: a message and the log say why.
    network("");
    model.addNode(kTemp);
    shell::jobQueue().Insert_In_JobQue(model, 0, 0LL);
    runQueue();
    network(std::string(kListNode) + kMemNode);
    shell::jobQueue().Insert_In_JobQue(model, 0, 0LL);
    runQueue();
    const std::vector<std::string> why{"Error: No device present on the microLAN",
                                       "Error: More than one device present on the microLAN"};
    EXPECT_EQ(box.prompts(), why);
    EXPECT_EQ(logLines(), why);

    // The procedure itself: an empty list, an id not in the table, a thermometer.
    network(std::string(kTempNode) + kMemNode);
    box.clear();
    model.cbClearLog_Click();
    model.ClearNodeList();
    EXPECT_FALSE(model.DO_PrgDevice(kMem));
    model.addNode(kTemp);
    EXPECT_FALSE(model.DO_PrgDevice(kList));
    EXPECT_FALSE(model.DO_PrgDevice(kTemp));
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{"Error: No nodes in nodelist", "No memory selected for programming"}));
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Family code not found, programming canceled", "Writing failed"}));
    EXPECT_TRUE(listed(kMem) && listed(kTemp));
}

TEST_F(NodeListWrite, AFailedWriteIsReportedAsFailed)
{
    network(std::string(kMemNode) + "protect 0 write\n");
    model.addNode(kTemp);
    const auto before = memoryOf(kMem);
    EXPECT_FALSE(model.DO_PrgDevice(kMem));
    EXPECT_EQ(logLines().back(), "Writing failed");
    EXPECT_EQ(memoryOf(kMem), before);
    EXPECT_TRUE(listed(kMem));
}

TEST_F(NodeListWrite, ADualSwitchIsProgrammedOnlyAlone)
{
    network("node 12:000000000405\nnode 81:000000000406\n");
    model.addNode(kTemp);
    box.clear();
    EXPECT_FALSE(model.DO_PrgDevice(kEprom));
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Only one node allowed when program family code 12", "Writing failed"}));
    // Nobody was asked to program the EPROM.
    EXPECT_TRUE(box.shown.empty());

    // Alone, it is programmed once the user agrees; Cancel writes nothing.
    network("node 12:000000000405\n");
    model.cbClearLog_Click();
    box.queue(platform::MsgCancel);
    EXPECT_FALSE(model.DO_PrgDevice(kEprom));
    box.queue(platform::MsgOK);
    EXPECT_TRUE(model.DO_PrgDevice(kEprom));
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{"Are you sure you will program the DS2406 ROM ?",
                                                       "Are you sure you will program the DS2406 ROM ?"}));
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Writing failed", "Writing nodelist succeeded"}));
    model.UpdateNodes();
    editor::TedsF* w = window(kEprom);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.rows[1].value, kTemp);
}

TEST_F(NodeListWrite, TheApplicationRegisterIsLockedOnlyWithTheBoxTicked)
{
    network("node 14:000000000404\n");
    auto* chip = dynamic_cast<platform::sim::SimDs2430*>(node(kSmall).get());
    ASSERT_NE(chip, nullptr);
    model.addNode(kTemp);

    // The new layout puts the list into the register: refused without the box, and
    // nobody is asked.
    model.ieee_version_Click(1);
    EXPECT_FALSE(model.DO_PrgDevice(kSmall));
    EXPECT_FALSE(chip->locked());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "This layout locks the application register of the DS2430A for good: "
                                   "tick \"allow ROM programming\" to write it");
    EXPECT_EQ(logLines().back(), "Writing failed");

    // The older layout uses the data memory only.
    model.ieee_version_Click(0);
    box.clear();
    EXPECT_TRUE(model.DO_PrgDevice(kSmall));
    EXPECT_FALSE(chip->locked());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(chip->memory()[1], 0x01);
    EXPECT_EQ(chip->memory()[3], 0x02);

    // Ticked: written and locked without a question.
    model.UpdateNodes();
    model.ieee_version_Click(1);
    model.allowROMprg = true;
    EXPECT_TRUE(model.DO_PrgDevice(kSmall));
    EXPECT_TRUE(chip->locked());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(logLines().back(), "Writing nodelist succeeded");
}

} // namespace
