// TEDS windows reading, writing and erasing their nodes on the simulated network:
// every memory family, the retry counts and waits, the messages, and what stays in the
// window when a write fails.

#include "tedsfixture.h"

#include "core/teds/bitfields.h"
#include "core/teds/memoryfile.h"
#include "device/drivers/memorynode.h"

namespace {

using namespace teds_test;

// The node's memory as a fresh read finds it.
core::TedsBuf readBack(const std::string& id, int family)
{
    core::TedsBuf tb;
    tb.id = id;
    tb.Family = family;
    device::Read_Node(tb, false);
    return tb;
}

// The demo bridge TEDS on a node of each memory family; the DS2430A once in each layout.
class EveryFamily : public TedsWindowTest {
protected:
    void SetUp() override
    {
        std::string text = testing_support::readAll(testing_support::dataDir() / "demo-bridge.tds");
        const auto at = text.find("IEEE 1451.4");
        older = text;
        older.replace(at, 11, "IEEE P1451.4");
        dir.write("older.tds", older);
        dir.write("bridge.tds", text);
        load("node 12:000000000101\ntds bridge.tds\n"
             "node 14:000000000102\ntds bridge.tds\n"
             "node 14:000000000103\ntds older.tds\n"
             "node 23:000000000104\ntds bridge.tds\n"
             "node 2D:000000000105\ntds bridge.tds\n",
             dir.path());
        ASSERT_TRUE(core::LoadMemoryFile(file, dir / "bridge.tds"));
        ASSERT_TRUE(core::LoadMemoryFile(olderFile, dir / "older.tds"));
    }
    testing_support::TempDir dir;
    std::string older;
    core::TedsBuf file, olderFile;
};

TEST_F(EveryFamily, EachWindowReadsItsNodeOnce)
{
    scan();
    struct Row { int family; int serial; int size; bool draft; bool locked; };
    for (const Row r : {Row{0x12, 1, 124, false, false}, Row{0x14, 2, 39, false, true}, Row{0x14, 3, 31, true, false},
                        Row{0x23, 4, 496, false, false}, Row{0x2D, 5, 124, false, false}}) {
        const std::string id = platform::sim::RomCode::make(r.family, 0x100 + r.serial).nodeId();
        SCOPED_TRACE(id);
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        const core::TedsBuf& tb = w->doc.TedsBuf;
        EXPECT_EQ(tb.Status, core::TedsStatusReadOk);
        EXPECT_EQ(tb.Size, r.size);
        EXPECT_EQ(tb.DraftLayout, r.draft);
        EXPECT_EQ(w->AppRomLocked, r.locked);
        EXPECT_EQ(w->ActualNodeID, id);
        const core::TedsBuf& source = r.draft ? olderFile : file;
        for (int i = 1; i <= tb.Size; ++i)
            ASSERT_EQ(tb.Bytes[static_cast<std::size_t>(i)], source.Bytes[static_cast<std::size_t>(i)]) << i;
        // Stored for the request server under the node's index.
        EXPECT_EQ(editor::editorState().NodeTeds[static_cast<std::size_t>(index(id))].id, id);
    }
    // The register lock is the node's own: the last DS2430A read (not locked) changes nothing.
    EXPECT_TRUE(window(platform::sim::RomCode::make(0x14, 0x102).nodeId())->AppRomLocked);
    EXPECT_TRUE(box.shown.empty());
}

// Reads that keep failing: how many tries and how long they wait.
TEST_F(TedsWindowTest, AFailingReadRetriesByInterfaceFamilyAndWindow)
{
    struct Row { const char* name; const char* id; bool mainVisible; int tries; int waitMs; };
    const Row rows[] = {
        {"adapter, DS2406", kSwitch, true, 3, 50 + 200 + 300 + 400},
        {"adapter, DS2430A", kApp, true, 3, 50 + 200 + 300 + 400},
        {"main window hidden", kSwitch, false, 2, 50 + 200 + 300},
        {"DS2433 stops after two", k4k, true, 2, 50 + 200 + 300},
        {"DS2431 stops after two", k1k, true, 2, 50 + 200 + 300},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        net->clearNodes();
        shell::resetNodesState();
        shell::collectDeferred();
        loadDemo();
        scan();
        editor::TedsF* w = window(r.id);
        ASSERT_NE(w, nullptr);
        neighbours.mainVisible = r.mainVisible;
        node(r.id)->setConnected(false);
        trace.lines.clear();
        box.clear();
        const auto before = clock.elapsed();
        w->ReadNode_msg(false);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(clock.elapsed() - before).count();
        EXPECT_EQ(traceWith("Read retry count").size(), static_cast<std::size_t>(r.tries));
        EXPECT_EQ(traceWith("Buffer state: not read").size(), static_cast<std::size_t>(r.tries));
        EXPECT_GE(ms, r.waitMs);
        EXPECT_LT(ms, r.waitMs + 100);
        EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusNotRead);
        EXPECT_EQ(box.prompts(), std::vector<std::string>{"Node ID not found on the microLAN"});
        neighbours.mainVisible = true;
    }
}

TEST_F(TedsWindowTest, AFirstTryThatSucceedsWaitsOnlyAtTheStart)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    trace.lines.clear();
    const auto before = clock.elapsed();
    runJob(*w, 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(clock.elapsed() - before).count();
    EXPECT_TRUE(traceWith("Read retry").empty());
    EXPECT_TRUE(traceWith("Buffer state").empty());
    EXPECT_GE(ms, 50);
    EXPECT_LT(ms, 150);
    EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusReadOk);
}

TEST_F(TedsWindowTest, ANodeNoLongerListedIsNotRead)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    w->ActualNodeID = "0100000000000099";
    w->doc.TedsBuf.Status = core::TedsStatusVirgin;
    net->clearTranscript();
    w->ReadNode_msg(false);
    EXPECT_TRUE(net->transcript().empty());
    EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusVirgin);
    EXPECT_EQ(w->ActualNodeID, "0100000000000099");
}

TEST_F(TedsWindowTest, ReadMessagesByState)
{
    // A DS2431 that holds nothing but FFh.
    load("node 2D:000000000201\n");
    scan();
    const std::string id = platform::sim::RomCode::make(0x2D, 0x201).nodeId();
    editor::TedsF* w = window(id);
    ASSERT_NE(w, nullptr);
    box.clear();
    runJob(*w, 0);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"node contains FF's indicating never used "});
    // Job 5 reads once and names the state.
    box.clear();
    runJob(*w, 5);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Virgin"});
    node(id)->setConnected(false);
    box.clear();
    runJob(*w, 5);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Not read"});
}

TEST_F(TedsWindowTest, EveryFourteenBitManufacturerIdIsAKnownSelector)
{
    // The accelerometer's TEDS under manufacturer ids up to the last of 14 bits.
    loadDemo();
    scan();
    core::TedsBuf accel = window(k4k)->doc.TedsBuf;
    testing_support::TempDir dir;
    const std::vector<int> ids = {17, 4096, 4097, 5000, 16381};
    std::string description;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        core::Val2Bits(static_cast<std::uint32_t>(ids[i]), 0, 14, accel);
        const std::string file = std::to_string(ids[i]) + ".tds";
        ASSERT_TRUE(core::SaveMemoryFile(accel, dir / file));
        description += "node 23:00000000030" + std::to_string(i) + "\ntds " + file + "\n";
    }
    net->clearNodes();
    shell::resetNodesState();
    shell::collectDeferred();
    box.clear();
    load(description, dir.path());
    scan();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(ids[i]);
        const std::string id = platform::sim::RomCode::make(0x23, 0x300 + i).nodeId();
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->doc.display, editor::Display::Grid);
        EXPECT_EQ(shell::record(index(id))->selector, ids[i]);
        EXPECT_EQ(shell::record(index(id))->state, shell::TrStateTeds);
    }
    EXPECT_TRUE(box.prompts().empty()) << box.prompts().front();
}

TEST_F(TedsWindowTest, UnknownJobsAnswerWithTheWindowsName)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(kSwitch);
    for (int job : {3, 7}) {
        box.clear();
        runJob(*w, job);
        EXPECT_EQ(box.prompts(), std::vector<std::string>{"No such job in TedsF"}) << job;
    }
}

TEST_F(TedsWindowTest, AFailedWriteSaysSoAndKeepsTheWindowsTeds)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    w->doc.TedsBuf.Bytes[100] = 0x42;
    core::BytesToBits(w->doc.TedsBuf);
    node(k4k)->setConnected(false);
    box.clear();
    runJob(*w, 2);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Writing not succeded"});
    EXPECT_TRUE(listed(k4k));
    EXPECT_EQ(window(k4k), w);
    EXPECT_EQ(w->doc.TedsBuf.Bytes[100], 0x42);
    EXPECT_TRUE(w->FormLoaded);
}

TEST_F(TedsWindowTest, WritingANodeThatWentSaysItIsNotFound)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    // The node-id box names a node that is not there.
    w->doc.setNodeIdText("0100000000000099");
    box.clear();
    runJob(*w, 2);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Node ID not found on the microLAN"});
}

TEST_F(TedsWindowTest, DebugWriteCountsThroughTheMemory)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->doc.TedsBuf.Size, 496);
    box.clear();
    runJob(*w, 6);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"True"});
    const core::TedsBuf back = readBack(k4k, 0x23);
    ASSERT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(back.Bytes[1], 1);
    EXPECT_EQ(back.Bytes[255], 255);
    EXPECT_EQ(back.Bytes[256], 1);
    EXPECT_EQ(back.Bytes[257], 2);
    EXPECT_EQ(back.Bytes[496], 241);
}

TEST_F(TedsWindowTest, EraseFillsTheMemoryAndDropsTheNodeUntilTheNextScan)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    // Cancel posts nothing.
    box.queue(platform::MsgCancel);
    w->mnuNode_Click(editor::NodeFill);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    EXPECT_EQ(box.shown.back().prompt, "Are you sure that you want to fill the memory with FF ?");

    box.queue(platform::MsgOK);
    w->mnuNode_Click(editor::NodeFill);
    shell::jobQueue().tick();
    EXPECT_FALSE(listed(k4k));
    EXPECT_EQ(neighbours.amplifierReselects, 0);
    const core::TedsBuf back = readBack(k4k, 0x23);
    EXPECT_EQ(back.Status, core::TedsStatusVirgin);
    scan();
    EXPECT_TRUE(listed(k4k));
    EXPECT_EQ(shell::record(index(k4k))->state, shell::TrStateNotAssigned);
}

TEST_F(TedsWindowTest, DeleteMemoryOnRequest)
{
    loadDemo();
    scan();
    editor::TedsF& w = factory.shared();
    // A DS2406 is refused: nothing erased, the list untouched.
    neighbours.family = 18;
    w.ActualNodeID = kSwitch;
    EXPECT_FALSE(w.Delete_memory());
    EXPECT_EQ(neighbours.reports,
              std::vector<std::string>{"Error: Only DS2430, DS2431 and DS2433 is supported for this command (Delete_memory)"});
    EXPECT_TRUE(listed(kSwitch));
    // No node id.
    neighbours.family = 35;
    w.ActualNodeID.clear();
    EXPECT_FALSE(w.Delete_memory());
    EXPECT_EQ(neighbours.reports.back(), "Error: Node ID is missing (Delete_memory)");
    // A DS2433: erased, and the node list emptied.
    w.ActualNodeID = k4k;
    EXPECT_TRUE(w.Delete_memory());
    EXPECT_EQ(shell::TrLast(), -1);
    EXPECT_EQ(readBack(k4k, 0x23).Status, core::TedsStatusVirgin);
}

} // namespace
