#include "shell/jobs/jobqueue.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "platform/base/messagebox.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"

#include <gtest/gtest.h>

#include <stdexcept>

using shell::JobQueue;
using shell::JobTarget;

namespace {

struct Recorder : JobTarget {
    JobQueue& q;
    std::string nm;
    std::vector<std::string>* log;
    std::function<void(Recorder&)> onJob;
    Recorder(JobQueue& q, std::string n, std::vector<std::string>* l) : q(q), nm(std::move(n)), log(l) {}
    void DoJob() override
    {
        log->push_back(nm + ":" + std::to_string(q.head().subno) + ":" + shell::paramAsText(q.head().param));
        if (onJob)
            onJob(*this);
    }
    void Refresh() override { log->push_back(nm + ":refresh"); }
    std::string name() const override { return nm; }
};

class JobQueueTest : public ::testing::Test {
protected:
    JobQueue q;
    std::vector<std::string> log;
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace{trace, true};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    Recorder a{q, "MainF", &log};
    Recorder b{q, "TedsF", &log};
};

TEST_F(JobQueueTest, RunsFifoWithTraceLines)
{
    q.StartJobQue();
    q.Insert_In_JobQue(a, 5, 1LL);
    EXPECT_EQ(trace.lines.back(), "insert job in que, object:MainF subno: 5 que size now 1");
    q.Insert_In_JobQue(b, 2, std::string("x"));
    q.tick();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:5:1", "MainF:refresh", "TedsF:2:x", "TedsF:refresh"}));
    EXPECT_EQ(trace.lines[2], "done job, object:MainF subno: 5 que size now: 1");
    EXPECT_EQ(trace.lines[3], "done job, object:TedsF subno: 2 que size now: 0");
    EXPECT_EQ(q.JobQueLast(), -1);
    EXPECT_FALSE(q.HourGlass());
}

TEST_F(JobQueueTest, DroppedWhileIntakeStopped)
{
    q.Insert_In_JobQue(a, 1);
    EXPECT_EQ(q.JobQueLast(), -1);
    q.StartJobQue();
    q.Insert_In_JobQue(a, 1);
    q.TimeoutJobQue();
    q.Insert_In_JobQue(a, 2);
    EXPECT_EQ(q.JobQueLast(), 0);
    EXPECT_EQ(trace.lines.size(), 1u);
    // Jobs posted before the stop still run.
    q.tick();
    EXPECT_EQ(log.front(), "MainF:1:");
}

TEST_F(JobQueueTest, SelfRepostRunsLastInSameTick)
{
    q.StartJobQue();
    int runs = 0;
    a.onJob = [&](Recorder& r) {
        if (q.head().subno == 8 && ++runs == 1)
            q.Insert_In_JobQue(r, 8);
    };
    q.Insert_In_JobQue(a, 8);
    q.Insert_In_JobQue(b, 1);
    q.tick();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:8:", "MainF:refresh", "TedsF:1:", "TedsF:refresh", "MainF:8:", "MainF:refresh"}));
}

TEST_F(JobQueueTest, ScanPassRunsFirstWhileScanning)
{
    q.StartJobQue();
    int steps = 0;
    q.isScanning = [] { return true; };
    q.scanStep = [&] {
        log.push_back("scan");
        return ++steps < 3;
    };
    q.Insert_In_JobQue(a, 1);
    q.tick();
    EXPECT_EQ(log, (std::vector<std::string>{"scan", "scan", "scan", "MainF:1:", "MainF:refresh"}));
}

TEST_F(JobQueueTest, EndlessScanIsCutShort)
{
    q.isScanning = [] { return true; };
    int steps = 0;
    q.scanStep = [&] { return ++steps > 0; };
    q.tick();
    EXPECT_EQ(steps, JobQueue::kMaxScanSteps);
}

TEST_F(JobQueueTest, FailingJobIsRemovedAndReported)
{
    q.StartJobQue();
    a.onJob = [](Recorder&) { throw std::runtime_error("bus gone"); };
    q.Insert_In_JobQue(a, 3);
    q.Insert_In_JobQue(b, 4);
    q.tick();
    EXPECT_EQ(q.JobQueLast(), -1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("bus gone"), std::string::npos);
    EXPECT_EQ(log.back(), "TedsF:refresh");
}

TEST_F(JobQueueTest, JobOfDestroyedTargetIsDropped)
{
    q.StartJobQue();
    auto gone = std::make_unique<Recorder>(q, "SwitchF", &log);
    q.Insert_In_JobQue(*gone, 1);
    gone.reset();
    q.tick();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(trace.lines.back(), "dropped job, object gone:SwitchF subno: 1");
}

TEST_F(JobQueueTest, TicksDoNotNest)
{
    q.StartJobQue();
    a.onJob = [&](Recorder&) { q.tick(); };
    q.Insert_In_JobQue(a, 1);
    q.Insert_In_JobQue(b, 1);
    q.tick();
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(JobQueueTest, HourglassFollowsQueue)
{
    std::vector<bool> seen;
    q.applyHourglass = [&](bool on) { seen.push_back(on); };
    q.StartJobQue();
    q.Insert_In_JobQue(a, 1);
    EXPECT_TRUE(q.HourGlass());
    q.TimeoutJobQue();
    EXPECT_FALSE(q.HourGlass());
    q.StartJobQue();
    EXPECT_TRUE(q.HourGlass());
    q.tick();
    EXPECT_FALSE(q.HourGlass());
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false}));
}

// --- A post to an idle queue runs at the next turn of the event loop ------------------

class RunAtOnce : public JobQueueTest {
protected:
    RunAtOnce()
    {
        q.scheduleRun = [this] { ++asked; };
        q.isScanning = [] { return true; };
        q.scanStep = [this] {
            log.push_back("scan");
            return false;
        };
    }
    // The event loop's next turn: the run asked for, if any.
    void nextTurn()
    {
        if (asked > done) {
            done = asked;
            q.runPosted();
        }
    }
    int asked = 0;
    int done = 0;
};

TEST_F(RunAtOnce, APostToTheIdleQueueAsksOnceAndRunsWithoutAScanPass)
{
    q.StartJobQue();
    q.Insert_In_JobQue(a, 3);
    q.Insert_In_JobQue(b, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(q.HourGlass());
    nextTurn();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:3:", "MainF:refresh", "TedsF:0:", "TedsF:refresh"}));
    EXPECT_EQ(q.JobQueLast(), -1);
    EXPECT_FALSE(q.HourGlass());
    // The next post asks again; the periodic tick still scans.
    q.Insert_In_JobQue(a, 1);
    EXPECT_EQ(asked, 2);
    nextTurn();
    q.tick();
    EXPECT_EQ(log.back(), "scan");
}

TEST_F(RunAtOnce, JobsRunInTheOrderATickRunsThem)
{
    // Jobs that post jobs (one of them for itself, as job 8 does) and one posted while
    // intake is stopped: the same order from a run at once and from a tick's drain.
    auto scenario = [this](bool atOnce) {
        log.clear();
        q.reset();
        q.scheduleRun = atOnce ? std::function<void()>([this] { ++asked; }) : nullptr;
        q.StartJobQue();
        int reposts = 0;
        a.onJob = [&](Recorder& r) {
            const int n = q.head().subno;
            if (n == 8 && ++reposts == 1)
                q.Insert_In_JobQue(r, 8);
            if (n == 5)
                q.Insert_In_JobQue(b, 4, 2LL);
        };
        b.onJob = [&](Recorder&) {
            if (q.head().subno == 1) {
                q.TimeoutJobQue();
                q.Insert_In_JobQue(a, 9);
                q.StartJobQue();
            }
        };
        q.Insert_In_JobQue(a, 8);
        q.Insert_In_JobQue(a, 5, std::string("p"));
        q.Insert_In_JobQue(b, 1);
        if (atOnce)
            nextTurn();
        else
            q.tick();
        a.onJob = nullptr;
        b.onJob = nullptr;
        return log;
    };
    q.isScanning = [] { return false; };
    const auto fromTick = scenario(false);
    const auto atOnce = scenario(true);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(atOnce, fromTick);
    EXPECT_EQ(fromTick, (std::vector<std::string>{"MainF:8:", "MainF:refresh", "MainF:5:p", "MainF:refresh", "TedsF:1:",
                                                  "TedsF:refresh", "MainF:8:", "MainF:refresh", "TedsF:4:2",
                                                  "TedsF:refresh"}));
}

TEST_F(RunAtOnce, IntakeRulesAreThoseOfATick)
{
    q.StartJobQue();
    q.Insert_In_JobQue(a, 1);
    q.TimeoutJobQue();
    q.Insert_In_JobQue(a, 2);
    EXPECT_EQ(asked, 1);
    // Posted before the stop: runs, with the hourglass on again for it.
    std::vector<bool> seen;
    q.applyHourglass = [&](bool on) { seen.push_back(on); };
    nextTurn();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:1:", "MainF:refresh"}));
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    // While intake is stopped nothing is posted, so nothing asks for a run.
    q.Insert_In_JobQue(a, 3);
    EXPECT_EQ(asked, 1);
}

TEST_F(RunAtOnce, ATickThatComesFirstRunsTheWaitingJobsBeforeItsPass)
{
    q.StartJobQue();
    q.Insert_In_JobQue(a, 3);
    int steps = 0;
    q.scanStep = [&] {
        log.push_back("scan");
        // A click while the pass runs: drained after the pass, asks for no run.
        if (++steps == 1)
            q.Insert_In_JobQue(b, 0);
        return steps < 2;
    };
    q.tick();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:3:", "MainF:refresh", "scan", "scan", "TedsF:0:", "TedsF:refresh"}));
    EXPECT_EQ(asked, 1);
    // The run asked for comes late and finds nothing to do.
    log.clear();
    nextTurn();
    EXPECT_TRUE(log.empty());
}

TEST_F(RunAtOnce, RunsNeverNest)
{
    q.StartJobQue();
    a.onJob = [&](Recorder&) {
        EXPECT_TRUE(q.ticking());
        q.runPosted();
        q.tick();
    };
    q.Insert_In_JobQue(a, 1);
    q.Insert_In_JobQue(b, 1);
    nextTurn();
    EXPECT_EQ(log, (std::vector<std::string>{"MainF:1:", "MainF:refresh", "TedsF:1:", "TedsF:refresh"}));
    EXPECT_FALSE(q.ticking());
    // A post inside a run asks for nothing: the run drains it.
    EXPECT_EQ(asked, 1);
}

TEST_F(RunAtOnce, WhenNoTickWaitsForTheRunningTickToReturn)
{
    q.StartJobQue();
    std::vector<std::string> order;
    q.whenNoTick([&] { order.push_back("idle"); });
    a.onJob = [&](Recorder&) {
        q.whenNoTick([&] {
            order.push_back("after");
            EXPECT_FALSE(q.ticking());
            q.Insert_In_JobQue(b, 7);
        });
        order.push_back("job");
    };
    q.Insert_In_JobQue(a, 1);
    q.tick();
    EXPECT_EQ(order, (std::vector<std::string>{"idle", "job", "after"}));
    // What it posted waits for the run it asked for.
    EXPECT_EQ(q.JobQueLast(), 0);
    EXPECT_EQ(asked, 2);
    nextTurn();
    EXPECT_EQ(log.back(), "TedsF:refresh");
    EXPECT_EQ(q.JobQueLast(), -1);
}

} // namespace
