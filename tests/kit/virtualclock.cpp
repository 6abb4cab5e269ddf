#include "tests/kit/virtualclock.h"

#include <algorithm>

namespace platform {

VirtualClock::VirtualClock() : start_(TimePoint{} + std::chrono::hours(1)), now_(start_), todStart_(start_) {}

double VirtualClock::timeOfDay()
{
    const double s = todBase_ + std::chrono::duration<double>(now_ - todStart_).count();
    const double day = 86400.0;
    return s - day * static_cast<double>(static_cast<long long>(s / day));
}

void VirtualClock::pause(Micros d)
{
    // Polls as a busy wait would: events run and observers see the time at least every
    // kVirtualPoll.
    do {
        const Micros step = std::clamp(d, Micros(1), kVirtualPoll);
        processEvents();
        advance(step);
        d -= step;
    } while (d > Micros(0));
}

void VirtualClock::advance(Micros d)
{
    now_ += d;
    // Copy: an observer may remove itself.
    auto obs = observers_;
    for (auto& o : obs)
        o.f(now_);
}

int VirtualClock::addObserver(std::function<void(TimePoint)> f)
{
    observers_.push_back({nextId_, std::move(f)});
    return nextId_++;
}

void VirtualClock::removeObserver(int id)
{
    std::erase_if(observers_, [id](const Obs& o) { return o.id == id; });
}

} // namespace platform
