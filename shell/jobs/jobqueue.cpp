#include "shell/jobs/jobqueue.h"

#include "core/base/message.h"
#include "core/base/trace.h"

#include <cmath>
#include <exception>

namespace shell {

long long paramAsInteger(const JobParam& p)
{
    if (auto i = std::get_if<long long>(&p))
        return *i;
    if (auto d = std::get_if<double>(&p))
        return static_cast<long long>(std::nearbyint(*d));
    if (auto s = std::get_if<std::string>(&p)) {
        try {
            return std::stoll(*s);
        } catch (...) {
            return 0;
        }
    }
    return 0;
}

std::string paramAsText(const JobParam& p)
{
    if (auto s = std::get_if<std::string>(&p))
        return *s;
    if (auto i = std::get_if<long long>(&p))
        return std::to_string(*i);
    if (auto d = std::get_if<double>(&p))
        return std::to_string(*d);
    return "";
}

JobTarget* JobQueEntry::target() const
{
    auto h = obj.lock();
    return h ? *h : nullptr;
}

JobQueue& jobQueue()
{
    static JobQueue q;
    return q;
}

void JobQueue::reset()
{
    que_.clear();
    enabled_ = false;
    hourglass_ = false;
    ticking_ = false;
    runScheduled_ = false;
    whenNoTick_.clear();
}

void JobQueue::allFormsHourglass(bool on)
{
    hourglass_ = on;
    if (applyHourglass)
        applyHourglass(on);
}

void JobQueue::Insert_In_JobQue(JobTarget& target, int subno, JobParam param)
{
    if (!enabled_)
        return;
    if (static_cast<int>(que_.size()) >= kMaxEntries) {
        core::Tracewindow("job queue full, dropped job, object:" + target.name() + " subno: " + std::to_string(subno));
        return;
    }
    if (!HourGlass())
        allFormsHourglass(true);
    que_.push_back({target.handle(), target.name(), subno, std::move(param)});
    core::Tracewindow("insert job in que, object:" + target.name() + " subno: " + std::to_string(subno) +
                      " que size now " + std::to_string(que_.size()));
    // An idle queue runs it at the next turn of the event loop; a running tick drains it.
    if (!ticking_ && !runScheduled_ && scheduleRun) {
        runScheduled_ = true;
        scheduleRun();
    }
}

void JobQueue::Do_and_remove_job()
{
    if (que_.empty())
        return;
    const std::string name = que_.front().objName;
    const int subno = que_.front().subno;
    std::string failure;
    if (JobTarget* t = que_.front().target()) {
        try {
            t->DoJob();
            // The job may have destroyed its own target.
            if (JobTarget* again = que_.front().target())
                again->Refresh();
        } catch (const core::ProgramEnd&) {
            throw;
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (...) {
            failure = "unknown error";
        }
        core::Tracewindow("done job, object:" + name + " subno: " + std::to_string(subno) + " que size now: " +
                          std::to_string(JobQueLast()));
    } else {
        core::Tracewindow("dropped job, object gone:" + name + " subno: " + std::to_string(subno));
    }
    que_.erase(que_.begin());
    if (!failure.empty()) {
        if (reportFailure)
            reportFailure(name, subno, failure);
        else
            core::MsgBox("Error in Sub 'ProcessJobQue'\r\n\r\nError: " + failure + " (job " + std::to_string(subno) + " of " + name + ")", 16);
    }
}

void JobQueue::StartJobQue()
{
    enabled_ = true;
    if (enableTimer)
        enableTimer();
    if (!que_.empty())
        allFormsHourglass(true);
}

void JobQueue::TimeoutJobQue()
{
    enabled_ = false;
    allFormsHourglass(false);
}

void JobQueue::drain()
{
    while (!que_.empty()) {
        if (!HourGlass())
            allFormsHourglass(true);
        Do_and_remove_job();
    }
}

void JobQueue::tick()
{
    if (ticking_)
        return;
    ticking_ = true;
    ++runs_;
    try {
        // Jobs posted to the idle queue were due at once: they do not wait behind the pass.
        if (runScheduled_) {
            runScheduled_ = false;
            drain();
        }
        if (isScanning && isScanning() && scanStep) {
            for (int step = 0; step < kMaxScanSteps && scanStep(); ++step) {
            }
        }
        drain();
        if (HourGlass())
            allFormsHourglass(false);
    } catch (...) {
        ticking_ = false;
        throw;
    }
    ticking_ = false;
    afterTick();
}

void JobQueue::runPosted()
{
    runScheduled_ = false;
    if (ticking_)
        return;
    ticking_ = true;
    ++runs_;
    try {
        drain();
        if (HourGlass())
            allFormsHourglass(false);
    } catch (...) {
        ticking_ = false;
        throw;
    }
    ticking_ = false;
    afterTick();
}

void JobQueue::whenNoTick(std::function<void()> fn)
{
    if (!ticking_) {
        fn();
        return;
    }
    whenNoTick_.push_back(std::move(fn));
}

void JobQueue::afterTick()
{
    while (!whenNoTick_.empty() && !ticking_) {
        auto fns = std::move(whenNoTick_);
        whenNoTick_.clear();
        for (auto& f : fns)
            f();
    }
}

} // namespace shell
