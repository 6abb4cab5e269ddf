#include "tests/kit/virtualclock.h"
#include "tests/support/virtualtimers.h"

#include <algorithm>

namespace testing_support {

using platform::Micros;

VirtualTimers::VirtualTimers(platform::VirtualClock& clock, Micros turnCost) : clock_(clock), turnCost_(turnCost)
{
    platform::setEventPump([this](platform::Millis) {
        clock_.advance(turnCost_);
        turn();
    });
}

VirtualTimers::~VirtualTimers() { platform::setEventPump(nullptr); }

int VirtualTimers::start(platform::Millis interval, std::function<void()> handler,
                         std::optional<platform::TimePoint> firstDue)
{
    const int id = nextId_++;
    timers_.push_back({id, interval, std::move(handler), firstDue.value_or(clock_.now() + interval), true});
    return id;
}

void VirtualTimers::restart(int id, platform::Millis interval)
{
    if (Timer* t = find(id)) {
        t->interval = interval;
        t->due = clock_.now() + interval;
        t->active = true;
    }
}

void VirtualTimers::stop(int id)
{
    if (Timer* t = find(id))
        t->active = false;
}

bool VirtualTimers::active(int id) const
{
    const Timer* t = find(id);
    return t && t->active;
}

platform::TimePoint VirtualTimers::nextDue(int id) const
{
    const Timer* t = find(id);
    return t ? t->due : clock_.now();
}

void VirtualTimers::singleShot(platform::Millis ms, std::function<void()> handler)
{
    timers_.push_back({nextId_++, ms, std::move(handler), clock_.now() + ms, false});
}

VirtualTimers::Timer* VirtualTimers::find(int id)
{
    for (Timer& t : timers_)
        if (t.id == id)
            return &t;
    return nullptr;
}

const VirtualTimers::Timer* VirtualTimers::find(int id) const
{
    for (const Timer& t : timers_)
        if (t.id == id)
            return &t;
    return nullptr;
}

void VirtualTimers::turn()
{
    std::vector<int> due;
    for (const Timer& t : timers_)
        if (t.active && !t.running && t.due <= clock_.now())
            due.push_back(t.id);
    for (const int id : due) {
        Timer* t = find(id);
        if (!t || !t->active || t->running || t->due > clock_.now())
            continue;
        const auto handler = t->handler;
        if (t->periodic) {
            // The next timeout keeps the phase; one the handler will have overrun is not made up.
            t->due += t->interval;
            if (t->due <= clock_.now())
                t->due = clock_.now() + t->interval;
        } else {
            t->active = false;
        }
        t->running = true;
        handler();
        if (Timer* again = find(id))
            again->running = false;
    }
    std::erase_if(timers_, [](const Timer& t) { return !t.periodic && !t.active && !t.running; });
}

bool VirtualTimers::runUntil(const std::function<bool()>& done, Micros limit)
{
    const platform::TimePoint end = clock_.now() + limit;
    for (;;) {
        turn();
        if (done())
            return true;
        if (clock_.now() >= end)
            return false;
        platform::TimePoint next = end;
        for (const Timer& t : timers_)
            if (t.active && !t.running)
                next = std::min(next, t.due);
        if (next > clock_.now())
            clock_.advance(std::chrono::duration_cast<Micros>(next - clock_.now()));
    }
}

} // namespace testing_support
