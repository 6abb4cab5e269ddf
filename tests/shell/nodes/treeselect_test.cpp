// From the tree to the node windows: which windows a left click opens, the create path of
// a memory without a TEDS, the beep that ends a failed selection, and the copy offer of a
// right click.

#include "tests/support/nodefakes.h"

#include "shell/nodes/treeselect.h"

namespace {

using namespace nodetest;

// A memory window that also creates TEDS and shows raw memory.
class MemoryWindow final : public shell::NodeWindow {
public:
    explicit MemoryWindow(std::vector<std::string>& log) : log_(log) {}
    using shell::NodeWindow::Inititiate;
    void Inititiate(int index) override { log_.push_back("TedsF Inititiate " + std::to_string(index)); }
    void Inititiate(int index, std::int32_t& state) override { state = memoryState; }
    void reqShow() override { log_.push_back("TedsF reqShow"); }
    bool Visible() const override { return false; }
    void DoJob() override {}
    std::string name() const override { return "TedsF"; }
    void ShowUnknownTemplate() override { log_.push_back("shared ShowUnknownTemplate"); }
    void CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText) override
    {
        log_.push_back(std::string("CreateNewTEDS ") + (&obj == this ? "self " : "other ") + idText);
    }
    std::int32_t memoryState = 3;

private:
    std::vector<std::string>& log_;
};

class TreeFactory final : public shell::NodeWindowFactory {
public:
    explicit TreeFactory(FakeFactory& f) : fakes(f) {}
    std::unique_ptr<shell::NodeWindow> NewTemperatureF() override { return fakes.NewTemperatureF(); }
    std::unique_ptr<shell::NodeWindow> NewSwitchF() override { return fakes.NewSwitchF(); }
    std::unique_ptr<shell::NodeWindow> NewTedsF() override
    {
        auto w = std::make_unique<MemoryWindow>(fakes.counters.log);
        w->memoryState = memoryState;
        return w;
    }
    std::unique_ptr<shell::NodeWindow> NewNotSupportedF() override { return fakes.NewNotSupportedF(); }
    shell::NodeWindow* SharedTedsF() override { return &shared; }

    FakeFactory& fakes;
    std::int32_t memoryState = 3;
    MemoryWindow shared{fakes.counters.log};
};

class TreeSelect : public NodesFixture {
protected:
    TreeSelect() { shell::setNodeWindowFactory(&treeFactory); }

    std::vector<std::string>& log() { return factory.counters.log; }
    // Record node k of a node (in tree order).
    shell::NodeTree::Handle recordNode(const std::string& id, std::size_t k = 0) { return tree().children(idNode(id)).at(k); }

    TreeFactory treeFactory{factory};
    const std::string thermo = nodeId(0x10, 1), sw = nodeId(0x12, 2), mem = nodeId(0x23, 3), chip = nodeId(0x01, 4);
};

TEST_F(TreeSelect, ATopLevelNodeOpensEveryWindowOfItsTransducerInTreeOrder)
{
    add(sw, 0x12);
    add(mem, 0x23);
    add(thermo, 0x10);
    shell::MoveBrance(idNode(mem), idNode(sw));
    shell::MoveBrance(idNode(thermo), idNode(sw));
    log().clear();
    shell::DoTreeview_Select(topOf(sw));
    EXPECT_EQ(log(), (std::vector<std::string>{"TedsF Inititiate 0", "TedsF reqShow", "SwitchF Inititiate 1",
                                               "TedsF Inititiate 2", "TedsF reqShow", "TemperatureF Inititiate 3"}));
    EXPECT_TRUE(window(1)->visible);
    EXPECT_TRUE(window(3)->visible);
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(TreeSelect, AnIdNodeOpensThatDevicesWindowsARecordNodeOnlyItsOwn)
{
    add(sw, 0x12);
    add(mem, 0x23);
    log().clear();
    shell::DoTreeview_Select(idNode(sw));
    EXPECT_EQ(log(), (std::vector<std::string>{"TedsF Inititiate 0", "TedsF reqShow", "SwitchF Inititiate 1"}));
    log().clear();
    shell::DoTreeview_Select(recordNode(sw, 1));
    EXPECT_EQ(log(), (std::vector<std::string>{"SwitchF Inititiate 1"}));
}

TEST_F(TreeSelect, AMemoryWithoutATedsStartsTheCreateDialogOfItsWindow)
{
    treeFactory.memoryState = shell::TrStateNotAssigned;
    add(mem, 0x23);
    ASSERT_EQ(list()[0].state, shell::TrStateNotAssigned);
    log().clear();
    shell::DoTreeview_Select(recordNode(mem));
    EXPECT_EQ(log(), (std::vector<std::string>{"shared ShowUnknownTemplate", "CreateNewTEDS self id" + mem}));
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(TreeSelect, AnUnsupportedNodesRecordOpensItsOwnWindowNotTheRawView)
{
    add(chip, 0x01);
    ASSERT_EQ(list()[0].state, shell::TrStateNew);
    log().clear();
    shell::DoTreeview_Select(recordNode(chip));
    EXPECT_EQ(log(), (std::vector<std::string>{"Not_SupportedF Inititiate 0"}));
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(TreeSelect, FailuresEndTheJobWithABeep)
{
    // A node removed between the click and the job.
    add(mem, 0x23);
    const auto h = recordNode(mem);
    shell::Remove_transducer(mem);
    shell::DoTreeview_Select(h);
    EXPECT_EQ(host.beeps, 1);
    // Windows opened before a failure stay open.
    add(thermo, 0x10);
    add(sw, 0x12);
    shell::MoveBrance(idNode(sw), idNode(thermo));
    window(shell::NodeIndexFromId(sw) + 1)->throwOnInit = true;  // the switch window fails
    log().clear();
    shell::DoTreeview_Select(topOf(thermo));
    EXPECT_EQ(host.beeps, 2);
    EXPECT_EQ(log().front(), "TemperatureF Inititiate " + std::to_string(shell::NodeIndexFromId(thermo)));
    EXPECT_TRUE(window(shell::NodeIndexFromId(thermo))->visible);
}

TEST_F(TreeSelect, ARightClickOffersTheNodeIdForTheClipboard)
{
    add(mem, 0x23);
    std::string clip = "before";
    const auto copy = [&](const std::string& id) { clip = id; };
    // A top-level node has no id: no box.
    EXPECT_FALSE(shell::offerNodeIdCopy(topOf(mem), copy));
    EXPECT_TRUE(box.shown.empty());
    // No leaves the clipboard alone.
    box.queue(platform::MsgNo);
    EXPECT_FALSE(shell::offerNodeIdCopy(idNode(mem), copy));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Copy node ID: " + mem + " to clipboard ?");
    EXPECT_EQ(box.shown[0].buttons, platform::MsgYesNo);
    EXPECT_EQ(clip, "before");
    // Yes puts the 16 digits there; a record node names its node too.
    box.queue(platform::MsgYes);
    EXPECT_TRUE(shell::offerNodeIdCopy(recordNode(mem), copy));
    EXPECT_EQ(clip, mem);
    EXPECT_EQ(shell::GetNodeID(recordNode(mem)), mem);
}

} // namespace
