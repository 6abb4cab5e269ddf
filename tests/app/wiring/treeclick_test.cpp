// A click on the node tree through the real main window and job queue on virtual timers:
// answered at once when the queue is idle, after the pass when a scan pass is running,
// never while job intake is stopped, twice for a double click, with a beep for a node
// that left, and without nesting the queue's tick inside a run of posted jobs.

#include "tests/app/wiring/requestflowfixture.h"

#include <gtest/gtest.h>

namespace {

using namespace requestflow;

const char* kNet = R"(
node 23:00000091E4D2
node 2D:0000005CA657
node 10:0000080C1A22
node 14:000001A2B3C4
node 01:0000000000A1
)";

struct Click : Flow {
    Click() : Flow(kNet) {}

    // The record node of the first record of the node with that family.
    shell::NodeTree::Handle recordNode(int family)
    {
        auto& tree = shell::nodesState().tree;
        for (auto top : tree.roots())
            for (auto idn : tree.children(top)) {
                int k = shell::tagValue(tree.node(idn).tag);
                if (shell::record(k) && shell::record(k)->family == family && !tree.children(idn).empty())
                    return tree.children(idn).front();
            }
        return shell::NodeTree::None;
    }
    // Job 3 runs: when, after how many pass ends, on which node.
    struct Run {
        platform::TimePoint at;
        int passEnds;
        shell::NodeTree::Handle node;
        bool ticking;
    };
    std::vector<Run> runs;
    void recordRuns()
    {
        main->DoTreeview_Select = [this] {
            runs.push_back({clock.now(), counting->passEnds, main->SelectedTreeNode, shell::jobQueue().ticking()});
        };
    }
    bool waitRuns(std::size_t n, std::chrono::milliseconds limit = 5s)
    {
        return timers.runUntil([this, n] { return runs.size() >= n; }, limit);
    }
    void scanning()
    {
        ASSERT_TRUE(activate());
        // Every node listed: a few passes.
        runFor(4s);
        ASSERT_EQ(listedIds(), networkIds());
    }
};

TEST(TreeClick, AClickOnAnIdleQueueIsAnsweredAtOnceInEveryMode)
{
    for (int mode : {shell::kModeScanning, 0}) {
        SCOPED_TRACE(mode);
        Click f;
        f.scanning();
        f.setMode(mode);
        f.recordRuns();
        // Half-way between two ticks.
        f.runFor(500ms);
        const auto t0 = f.clock.now();
        const int ends = f.counting->passEnds;
        f.main->TRTreeView_NodeClick(f.recordNode(0x23), 1);
        ASSERT_TRUE(f.waitRuns(1));
        EXPECT_LT(f.runs[0].at - t0, std::chrono::milliseconds(100));
        EXPECT_EQ(f.runs[0].passEnds, ends) << "a pass ran before the click was answered";
        EXPECT_FALSE(shell::jobQueue().HourGlass()) << "the hourglass stays on after the run";
    }
}

TEST(TreeClick, AClickDuringAScanPassIsAnsweredWhenThatPassEnds)
{
    Click f;
    f.scanning();
    f.recordRuns();
    f.runFor(300ms);
    int clickedAtEnds = -1;
    platform::TimePoint clickedAt{};
    f.counting->onStep = [&](int step) {
        if (clickedAtEnds < 0 && shell::jobQueue().ticking()) {
            clickedAtEnds = f.counting->passEnds;
            clickedAt = f.clock.now();
            f.main->TRTreeView_NodeClick(f.recordNode(0x2D), 1);
        }
    };
    ASSERT_TRUE(f.waitRuns(1));
    f.counting->onStep = nullptr;
    EXPECT_EQ(f.runs[0].passEnds, clickedAtEnds + 1) << "answered after the pass it came in, not a tick later";
    EXPECT_LT(f.runs[0].at - clickedAt, std::chrono::milliseconds(1000));
}

TEST(TreeClick, AClickWhileIntakeIsStoppedOpensNothingEver)
{
    Click f;
    f.scanning();
    f.recordRuns();
    const auto node = f.recordNode(0x23);
    f.main->runModal([&] {
        f.main->TRTreeView_NodeClick(node, 1);
        platform::clock().pause(std::chrono::milliseconds(2500));  // the dialog stays open
    });
    EXPECT_EQ(f.main->SelectedTreeNode, node);
    f.runFor(3s);
    EXPECT_TRUE(f.runs.empty());
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    // After the dialog a click works again, at once.
    const auto t0 = f.clock.now();
    f.main->TRTreeView_NodeClick(node, 1);
    ASSERT_TRUE(f.waitRuns(1));
    EXPECT_LT(f.runs[0].at - t0, std::chrono::milliseconds(100));
}

TEST(TreeClick, ADoubleClickRunsTwiceInOrderInOneRun)
{
    Click f;
    f.scanning();
    f.recordRuns();
    f.runFor(400ms);
    const int asked = f.runsAsked;
    const auto a = f.recordNode(0x23), b = f.recordNode(0x14);
    f.main->TRTreeView_NodeClick(a, 1);
    f.main->TRTreeView_NodeClick(b, 1);
    ASSERT_TRUE(f.waitRuns(2));
    EXPECT_EQ(f.runsAsked, asked + 1);
    // Each job reads the node selected when it runs: the second click's.
    EXPECT_EQ(f.runs[1].node, b);
    EXPECT_LT(f.runs[1].at - f.runs[0].at, std::chrono::milliseconds(100));
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
}

TEST(TreeClick, AClickOnANodeThatLeftBeforeItsJobOpensNothingAndTheTreeComesBack)
{
    Click f;
    f.scanning();
    f.runFor(300ms);
    const auto node = f.recordNode(0x2D);
    f.main->TRTreeView_NodeClick(node, 1);
    f.main->Form_KeyDown(116, 0);  // F5 in the same turn
    f.runFor(100ms);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    EXPECT_FALSE(shell::nodesState().tree.exists(node));
    f.runFor(3s);
    EXPECT_EQ(f.listedIds(), f.networkIds());
    // The node unplugged, its click job still queued behind a long wait: nothing opens.
    f.recordRuns();
    const auto again = f.recordNode(0x2D);
    f.main->TRTreeView_NodeClick(again, 1);
    ASSERT_TRUE(f.waitRuns(1));
    EXPECT_EQ(f.runs[0].node, again);
}

TEST(TreeClick, AJobThatWaitsInsideTheRunDoesNotNestTheTickAndTheScanResumesAfter)
{
    Click f;
    f.scanning();
    f.runFor(200ms);
    int nested = 0;
    int endsDuring = -1;
    bool clickedInside = false;
    f.main->DoTreeview_Select = [&] {
        const int ends = f.counting->passEnds;
        f.counting->onStep = [&](int) {
            if (shell::jobQueue().ticking() && f.counting->passEnds == ends)
                ++nested;
        };
        // A modal dialog inside the job: ticks come and go; a click there is dropped.
        f.main->runModal([&] {
            f.timers.singleShot(1200ms, [&] {
                clickedInside = true;
                f.main->TRTreeView_NodeClick(f.recordNode(0x14), 1);
            });
            platform::clock().pause(std::chrono::milliseconds(3500));
        });
        endsDuring = f.counting->passEnds - ends;
        f.counting->onStep = nullptr;
    };
    f.main->TRTreeView_NodeClick(f.recordNode(0x23), 1);
    ASSERT_TRUE(f.timers.runUntil([&] { return endsDuring >= 0; }, 10s));
    EXPECT_TRUE(clickedInside);
    EXPECT_EQ(endsDuring, 0) << "a scan pass ran inside the run of posted jobs";
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    const int ends = f.counting->passEnds;
    f.runFor(1100ms);
    EXPECT_GT(f.counting->passEnds, ends) << "the scan does not resume";
}

TEST(TreeClick, AClickJustBeforeTheTickIsAnsweredBeforeItsPass)
{
    Click f;
    f.scanning();
    f.recordRuns();
    // Right before the next tick is due.
    const auto due = f.timers.nextDue(f.tickTimer);
    f.timers.runUntil([&] { return f.clock.now() >= due - std::chrono::milliseconds(1); }, 2s);
    const int ends = f.counting->passEnds;
    f.main->TRTreeView_NodeClick(f.recordNode(0x23), 1);
    ASSERT_TRUE(f.waitRuns(1));
    EXPECT_EQ(f.runs[0].passEnds, ends);
}

} // namespace
