#pragma once
// The job queue, the program's main loop. Windows post (target, job number,
// parameter); the main window's 1000 ms timer calls tick(), which runs a scan pass
// while Scanning and then drains the queue first in, first out. A job posted to an idle
// queue does not wait for that tick: it runs at the next turn of the event loop
// (runPosted, asked for through scheduleRun), first in, first out, without a scan.

#include "shell/jobs/jobtarget.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace shell {

// A job's parameter: empty, a number or a text, stored as posted.
using JobParam = std::variant<std::monostate, long long, double, std::string>;

long long paramAsInteger(const JobParam& p);
std::string paramAsText(const JobParam& p);

struct JobQueEntry {
    std::weak_ptr<JobTarget*> obj;
    std::string objName;  // kept for the trace when the target is gone
    int subno = 0;
    JobParam param;

    JobTarget* target() const;
};

class JobQueue {
public:
    static constexpr int kMaxEntries = 32767;
    // Scan steps in one tick before the pass is cut short.
    static constexpr int kMaxScanSteps = 2000;

    // Posts a job; dropped silently while intake is stopped.
    void Insert_In_JobQue(JobTarget& target, int subno, JobParam param = {});
    // Runs the head job and removes it (the tick's own step).
    void Do_and_remove_job();
    void StartJobQue();
    void TimeoutJobQue();
    bool HourGlass() const { return hourglass_; }
    void allFormsHourglass(bool on);

    // One timer tick of ProcessJobQue. Does nothing when called inside a tick. A run of
    // posted jobs that was asked for and has not come yet goes first, then the scan pass
    // while Scanning (the mode read once, after that run), then the drain.
    void tick();
    // The run a post to an idle queue asks for: the waiting jobs run as in a tick's drain,
    // without its scan pass. Does nothing inside a tick (that tick drains them).
    void runPosted();
    // A tick or a run of posted jobs is on the stack. Ticks never nest.
    bool ticking() const { return ticking_; }
    // Counts the ticks and runs of posted jobs begun so far (the running one's number
    // while ticking()).
    unsigned long runNumber() const { return runs_; }
    // Runs fn as soon as no tick is on the stack: now when none is, else right after the
    // running one has returned.
    void whenNoTick(std::function<void()> fn);

    // The queue itself: entry 0 is the oldest and, while a job runs, the running job.
    const std::vector<JobQueEntry>& JobQue() const { return que_; }
    int JobQueLast() const { return static_cast<int>(que_.size()) - 1; }
    const JobQueEntry& head() const { return que_.front(); }
    bool JobsEnabled() const { return enabled_; }

    // Hooks the shell fills in.
    std::function<bool()> isScanning;          // CommMode is Scanning
    std::function<bool()> scanStep;            // one search step; false when the pass has ended
    std::function<void(bool)> applyHourglass;  // show the busy pointer on every window
    std::function<void()> enableTimer;         // start the 1000 ms timer
    // Calls runPosted() at the next turn of the event loop. Without it, posted jobs wait
    // for the next tick.
    std::function<void()> scheduleRun;
    // Called when a job throws: the job is already removed; the default shows a message.
    std::function<void(const std::string& target, int subno, const std::string& what)> reportFailure;

    // Empties the queue and restores the start state (tests).
    void reset();

private:
    void drain();
    void afterTick();

    std::vector<JobQueEntry> que_;
    bool enabled_ = false;
    bool hourglass_ = false;
    bool ticking_ = false;
    bool runScheduled_ = false;
    unsigned long runs_ = 0;
    std::vector<std::function<void()>> whenNoTick_;
};

// The one queue of the program.
JobQueue& jobQueue();

} // namespace shell
