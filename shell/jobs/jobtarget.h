#pragma once
// Anything that takes jobs from the queue: it runs the numbered job of the head
// entry in DoJob() and repaints in Refresh().

#include <memory>
#include <string>

namespace shell {

class JobTarget {
public:
    JobTarget() : alive_(std::make_shared<JobTarget*>(this)) {}
    virtual ~JobTarget() = default;
    JobTarget(const JobTarget&) = delete;
    JobTarget& operator=(const JobTarget&) = delete;

    // Reads subno and param of the queue's head entry and runs that job.
    virtual void DoJob() = 0;
    virtual void Refresh() {}
    // The window's name as the program spells it ("MainF", "TedsF").
    virtual std::string name() const = 0;

    // A handle that turns empty when the target is destroyed.
    std::weak_ptr<JobTarget*> handle() const { return alive_; }

protected:
    // From now on the queue treats the target as gone: its queued jobs are dropped.
    void detachFromQueue() { alive_.reset(); }

private:
    std::shared_ptr<JobTarget*> alive_;
};

} // namespace shell
