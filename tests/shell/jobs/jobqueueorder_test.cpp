// The order of jobs when a post to the idle queue runs at the next turn of the event loop,
// against what the 1000 ms tick would have done with the same posts; posts from jobs,
// from waits, from a stopped intake, from a scan pass, from the end of a tick; targets
// that go; ticks and runs that must not nest. Timers run on virtual time as Qt fires them.

#include "shell/jobs/jobqueue.h"
#include "tests/support/virtualservices.h"
#include "tests/support/virtualtimers.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using shell::jobQueue;
using testing_support::VirtualTimers;

// Records every job it runs; onJob does the job's work.
class Target final : public shell::JobTarget {
public:
    Target(std::string n, std::vector<std::string>& log, int& depth, int& maxDepth)
        : name_(std::move(n)), log_(log), depth_(depth), maxDepth_(maxDepth)
    {
    }
    void DoJob() override
    {
        const int subno = jobQueue().head().subno;
        ++depth_;
        maxDepth_ = std::max(maxDepth_, depth_);
        log_.push_back(name_ + ":" + std::to_string(subno));
        if (auto it = onJob.find(subno); it != onJob.end()) {
            auto work = it->second;  // the job may replace its own entry
            work();
        }
        --depth_;
    }
    void Refresh() override
    {
        if (onRefresh)
            onRefresh();
    }
    std::string name() const override { return name_; }

    std::map<int, std::function<void()>> onJob;
    std::function<void()> onRefresh;

private:
    std::string name_;
    std::vector<std::string>& log_;
    int& depth_;
    int& maxDepth_;
};

void waitMs(int ms) { platform::clock().pause(std::chrono::milliseconds(ms)); }

struct QueueLoop : testing_support::VirtualServices {
    // withRuns false: posts wait for the tick, as before a post could run at once.
    explicit QueueLoop(bool withRuns) : VirtualServices(false), timers(clock, 100us)
    {
        auto& q = jobQueue();
        q.reset();
        q.isScanning = [this] { return scanning; };
        q.scanStep = [this] {
            ++scanSteps;
            if (scanDepth++ > 0)
                nestedScan = true;
            if (onScanStep)
                onScanStep(scanSteps);
            waitMs(20);  // the search's own waits let events run
            --scanDepth;
            return scanSteps % stepsPerPass != 0;
        };
        q.applyHourglass = [this](bool on) { hourglass.push_back(on); };
        q.enableTimer = [this] {
            if (tickTimer == 0)
                tickTimer = timers.start(1000ms, [this] { tickAt.push_back(elapsedMs()); jobQueue().tick(); });
        };
        if (withRuns)
            q.scheduleRun = [this] {
                ++runsAsked;
                timers.singleShot(0ms, [] { jobQueue().runPosted(); });
            };
        q.reportFailure = [this](const std::string& t, int subno, const std::string& what) {
            failures.push_back(t + ":" + std::to_string(subno) + ":" + what);
        };
        q.StartJobQue();
    }
    ~QueueLoop()
    {
        auto& q = jobQueue();
        q.reset();
        q.isScanning = nullptr;
        q.scanStep = nullptr;
        q.applyHourglass = nullptr;
        q.enableTimer = nullptr;
        q.scheduleRun = nullptr;
        q.reportFailure = nullptr;
    }

    Target& target(const std::string& n)
    {
        targets.push_back(std::make_unique<Target>(n, log, depth, maxDepth));
        return *targets.back();
    }
    void post(Target& t, int subno) { jobQueue().Insert_In_JobQue(t, subno, 0LL); }
    long elapsedMs() const { return static_cast<long>(clock.elapsed().count() / 1000); }
    // Runs the event loop until the log holds n entries and the queue is at rest.
    bool runUntilLogged(std::size_t n, std::chrono::milliseconds limit = 10s)
    {
        return timers.runUntil([&] { return log.size() >= n && jobQueue().JobQueLast() == -1 && !jobQueue().ticking(); },
                               limit);
    }
    // Runs the event loop for a while.
    void runFor(std::chrono::milliseconds d)
    {
        timers.runUntil([] { return false; }, d);
    }

    VirtualTimers timers;
    int tickTimer = 0;
    bool scanning = false;
    int scanSteps = 0;
    int stepsPerPass = 3;
    int scanDepth = 0;
    bool nestedScan = false;
    std::function<void(int step)> onScanStep;
    std::vector<bool> hourglass;
    std::vector<long> tickAt;
    int runsAsked = 0;
    std::vector<std::string> failures;
    std::vector<std::string> log;
    int depth = 0;
    int maxDepth = 0;
    std::vector<std::unique_ptr<Target>> targets;
};

// ---------------------------------------------------------------------------------------
// The same posts, with runs at once and with ticks alone: the same jobs, once each, in the
// same order, never nested.

struct Scenario {
    const char* name;
    // Sets the scenario up on the loop; its posts go out at 10 ms.
    std::function<void(QueueLoop&)> setUp;
    std::size_t jobs;  // how many jobs the log ends with
};

std::vector<std::string> runScenario(const Scenario& s, bool withRuns, int& maxDepth, long* finishedAt = nullptr)
{
    QueueLoop loop(withRuns);
    s.setUp(loop);
    EXPECT_TRUE(loop.runUntilLogged(s.jobs)) << s.name;
    loop.runFor(3s);  // nothing runs late or twice
    maxDepth = loop.maxDepth;
    EXPECT_FALSE(loop.nestedScan) << s.name;
    if (finishedAt)
        *finishedAt = loop.elapsedMs();
    return loop.log;
}

const std::vector<Scenario>& scenarios()
{
    static const std::vector<Scenario> all = {
        {"many posts at once",
         [](QueueLoop& l) {
             auto& a = l.target("A");
             auto& b = l.target("B");
             l.timers.singleShot(10ms, [&] {
                 for (int i = 0; i < 40; ++i)
                     l.post(i % 3 ? a : b, i);
             });
         },
         40},
        {"a job posts jobs and itself again",
         [](QueueLoop& l) {
             auto& a = l.target("A");
             auto& b = l.target("B");
             a.onJob[1] = [&] {
                 l.post(b, 7);
                 l.post(a, 2);
             };
             a.onJob[2] = [&] {
                 if (l.log.size() < 6)
                     l.post(a, 2);  // runs after everything already waiting
             };
             l.timers.singleShot(10ms, [&] {
                 l.post(a, 1);
                 l.post(b, 1);
                 l.post(b, 2);
             });
         },
         6},
        {"a click inside a job's wait",
         [](QueueLoop& l) {
             auto& a = l.target("A");
             auto& c = l.target("Click");
             a.onJob[1] = [&] {
                 l.timers.singleShot(5ms, [&] { l.post(c, 1); });
                 waitMs(200);  // window events run
                 l.post(a, 3);
             };
             l.timers.singleShot(10ms, [&] {
                 l.post(a, 1);
                 l.post(a, 2);
             });
         },
         4},
        {"a modal dialog with intake stopped",
         [](QueueLoop& l) {
             auto& a = l.target("A");
             auto& c = l.target("Click");
             a.onJob[1] = [&] {
                 jobQueue().TimeoutJobQue();
                 l.timers.singleShot(5ms, [&] { l.post(c, 9); });  // dropped
                 waitMs(100);
                 jobQueue().StartJobQue();
                 l.timers.singleShot(5ms, [&] { l.post(c, 1); });
                 waitMs(100);
             };
             l.timers.singleShot(10ms, [&] {
                 l.post(a, 1);
                 l.post(a, 2);
             });
         },
         3},
        {"a wait long enough for ticks and zero timers",
         [](QueueLoop& l) {
             auto& a = l.target("A");
             auto& b = l.target("B");
             a.onJob[1] = [&] {
                 waitMs(2500);
                 l.post(b, 5);
             };
             b.onJob[1] = [&] { waitMs(1200); };
             l.timers.singleShot(10ms, [&] {
                 l.post(a, 1);
                 l.post(b, 1);
             });
         },
         3},
    };
    return all;
}

TEST(JobOrder, PostsRunInTheOrderATickWouldRunThem)
{
    for (const Scenario& s : scenarios()) {
        int depthRuns = 0, depthTicks = 0;
        long atRuns = 0;
        const auto withRuns = runScenario(s, true, depthRuns, &atRuns);
        const auto ticksOnly = runScenario(s, false, depthTicks);
        EXPECT_EQ(withRuns, ticksOnly) << s.name;
        EXPECT_EQ(withRuns.size(), s.jobs) << s.name;
        EXPECT_EQ(depthRuns, 1) << s.name << ": a job ran inside another";
        EXPECT_EQ(depthTicks, 1) << s.name;
    }
}

// ---------------------------------------------------------------------------------------

TEST(JobOrder, APostToTheIdleQueueRunsBeforeTheTickAndAsksOnce)
{
    QueueLoop l(true);
    l.scanning = true;
    auto& a = l.target("A");
    l.timers.singleShot(300ms, [&] {
        for (int i = 0; i < 100; ++i)
            l.post(a, i);
    });
    ASSERT_TRUE(l.runUntilLogged(100, 900ms));
    EXPECT_LT(l.elapsedMs(), 400);
    EXPECT_EQ(l.runsAsked, 1);
    EXPECT_EQ(l.scanSteps, 0) << "a run of posted jobs has no scan pass";
    EXPECT_FALSE(jobQueue().HourGlass()) << "the run ends with the hourglass off, as a tick does";
    ASSERT_FALSE(l.hourglass.empty());
    EXPECT_FALSE(l.hourglass.back());

    // A later post asks again.
    l.timers.singleShot(100ms, [&] { l.post(a, 500); });
    ASSERT_TRUE(l.runUntilLogged(101, 500ms));
    EXPECT_EQ(l.runsAsked, 2);
}

TEST(JobOrder, PostsDuringATicksScanPassRunInThatTicksDrainOnce)
{
    QueueLoop l(true);
    l.scanning = true;
    l.stepsPerPass = 4;
    auto& a = l.target("A");
    l.onScanStep = [&](int step) {
        if (step == 2)
            l.post(a, 1);
        if (step == 3)
            l.post(a, 2);
    };
    ASSERT_TRUE(l.runUntilLogged(2, 1500ms));
    EXPECT_EQ(l.log, (std::vector<std::string>{"A:1", "A:2"}));
    EXPECT_EQ(l.scanSteps, 4) << "one pass";
    EXPECT_EQ(l.maxDepth, 1);
    l.runFor(200ms);
    EXPECT_EQ(l.log.size(), 2u);
    EXPECT_EQ(l.scanSteps, 4);
}

// A post to the idle queue while a tick is due in the same turn: the tick takes the
// waiting jobs first. The zero timer that post asked for then fires inside the tick's
// scan pass, where a run does nothing. A later post must still run at once.
TEST(JobOrder, ARunThatFiredInsideATickDoesNotStopLaterRuns)
{
    QueueLoop l(true);
    l.scanning = true;
    auto& a = l.target("A");
    // Started after the tick timer: due at the same moment, it runs just before it.
    l.timers.start(1000ms, [&] {
        if (l.log.empty())
            l.post(a, 1);
    });
    ASSERT_TRUE(l.runUntilLogged(1, 1500ms));
    EXPECT_EQ(l.log.size(), 1u);

    l.timers.singleShot(200ms, [&] { l.post(a, 2); });
    const long postedAt = l.elapsedMs() + 200;
    ASSERT_TRUE(l.runUntilLogged(2, 3s));
    EXPECT_LT(l.elapsedMs() - postedAt, 50) << "the second post waited for a tick";
}

// Jobs posted by something that waited for the tick to end (whenNoTick), as the request
// server does when its poll meets a tick, run at the next turn, before another scan.
TEST(JobOrder, PostsFromTheEndOfATickRunBeforeTheNextScan)
{
    QueueLoop l(true);
    l.scanning = true;
    auto& a = l.target("A");
    int stepsAtJob = -1;
    a.onJob[1] = [&] { stepsAtJob = l.scanSteps; };
    l.onScanStep = [&](int step) {
        if (step == 2)
            jobQueue().whenNoTick([&] { l.post(a, 1); });
    };
    ASSERT_TRUE(l.runUntilLogged(1, 5s));
    EXPECT_EQ(stepsAtJob, l.stepsPerPass) << "the job waited for another scan pass";
    EXPECT_LT(l.elapsedMs(), 1500);
}

TEST(JobOrder, APostFromRefreshOfTheLastJobIsNotLeftWaiting)
{
    QueueLoop l(true);
    auto& a = l.target("A");
    bool once = false;
    a.onRefresh = [&] {
        if (!once) {
            once = true;
            l.post(a, 2);
        }
    };
    l.timers.singleShot(100ms, [&] { l.post(a, 1); });
    ASSERT_TRUE(l.runUntilLogged(2, 900ms));
    EXPECT_EQ(l.log, (std::vector<std::string>{"A:1", "A:2"}));
    EXPECT_LT(l.elapsedMs(), 200);
}

TEST(JobOrder, AThrowingJobIsRemovedAndTheQueueRunsOn)
{
    QueueLoop l(true);
    auto& a = l.target("A");
    a.onJob[1] = [] { throw std::runtime_error("boom"); };
    l.timers.singleShot(100ms, [&] {
        l.post(a, 1);
        l.post(a, 2);
    });
    ASSERT_TRUE(l.runUntilLogged(2, 900ms));
    EXPECT_EQ(l.log, (std::vector<std::string>{"A:1", "A:2"}));
    EXPECT_EQ(l.failures.size(), 1u);
    EXPECT_FALSE(jobQueue().ticking());
    l.timers.singleShot(100ms, [&] { l.post(a, 3); });
    const long postedAt = l.elapsedMs() + 100;
    ASSERT_TRUE(l.runUntilLogged(3, 2s));
    EXPECT_LT(l.elapsedMs() - postedAt, 50);
    EXPECT_FALSE(jobQueue().HourGlass());
}

TEST(JobOrder, JobsOfATargetThatWentAreDroppedAndTheOthersRun)
{
    QueueLoop l(true);
    auto& a = l.target("A");
    auto gone = std::make_unique<Target>("Gone", l.log, l.depth, l.maxDepth);
    a.onJob[1] = [&] { gone.reset(); };
    l.timers.singleShot(100ms, [&] {
        l.post(a, 1);
        l.post(*gone, 1);
        l.post(a, 2);
        l.post(*gone, 2);
        l.post(a, 3);
    });
    ASSERT_TRUE(l.runUntilLogged(3, 900ms));
    l.runFor(1500ms);
    EXPECT_EQ(l.log, (std::vector<std::string>{"A:1", "A:2", "A:3"}));
    EXPECT_TRUE(l.failures.empty());
}

// A job whose target goes while its own job runs (a window unloaded from inside its job):
// the queue touches it no more.
TEST(JobOrder, ATargetDestroyedInsideItsOwnJobIsNotRefreshed)
{
    QueueLoop l(true);
    auto& a = l.target("A");
    struct Suicidal final : shell::JobTarget {
        std::unique_ptr<Suicidal>* owner = nullptr;
        std::vector<std::string>* log = nullptr;
        bool refreshed = false;
        void DoJob() override
        {
            log->push_back("Suicidal:" + std::to_string(jobQueue().head().subno));
            owner->reset();  // nothing of this object is touched after this line
        }
        void Refresh() override { log->push_back("refreshed a destroyed target"); }
        std::string name() const override { return "Suicidal"; }
    };
    auto s = std::make_unique<Suicidal>();
    s->owner = &s;
    s->log = &l.log;
    Suicidal* sp = s.get();
    l.timers.singleShot(100ms, [&, sp] {
        jobQueue().Insert_In_JobQue(*sp, 1, 0LL);
        jobQueue().Insert_In_JobQue(*sp, 2, 0LL);
        l.post(a, 1);
    });
    ASSERT_TRUE(l.runUntilLogged(2, 900ms));
    l.runFor(1500ms);
    EXPECT_EQ(l.log, (std::vector<std::string>{"Suicidal:1", "A:1"}));
}

TEST(JobOrder, TicksAndRunsNeverNestInsideLongJobs)
{
    QueueLoop l(true);
    l.scanning = true;
    auto& a = l.target("A");
    int nestedTicks = 0;
    a.onJob[1] = [&] {
        const auto before = l.tickAt.size();
        const unsigned long run = jobQueue().runNumber();
        waitMs(3500);  // three ticks come due in here
        EXPECT_GE(l.tickAt.size(), before + 3) << "the tick timer keeps firing during a wait";
        EXPECT_EQ(jobQueue().runNumber(), run) << "a tick or run began inside a job";
        nestedTicks += static_cast<int>(jobQueue().runNumber() - run);
        l.post(a, 2);
    };
    l.timers.singleShot(100ms, [&] { l.post(a, 1); });
    ASSERT_TRUE(l.runUntilLogged(2, 10s));
    EXPECT_EQ(nestedTicks, 0);
    EXPECT_EQ(l.maxDepth, 1);
    EXPECT_EQ(l.scanSteps, 0) << "no scan pass ran inside the job's wait";
    EXPECT_FALSE(l.nestedScan);
    // The ticks after the job are ticks again: each runs its pass.
    l.runFor(2100ms);
    EXPECT_GE(l.scanSteps, 2 * l.stepsPerPass);
    EXPECT_FALSE(l.nestedScan);
}

} // namespace
