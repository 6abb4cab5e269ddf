#include "platform/base/clock.h"

#include <algorithm>
#include <ctime>
#include <thread>

namespace platform {

namespace {
SystemClock systemClock;
Clock* current = nullptr;
EventPump pumpFn;
} // namespace

Clock& clock() { return current ? *current : systemClock; }
void setClock(Clock* c) { current = c; }
void setEventPump(EventPump pump) { pumpFn = std::move(pump); }
void processEvents()
{
    if (pumpFn)
        pumpFn(Millis(0));
}

TimePoint SystemClock::now() { return Clock_::now(); }

double SystemClock::timeOfDay()
{
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t tt = system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&tt, &local);
    const double frac = duration<double>(t.time_since_epoch()).count();
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + (frac - static_cast<double>(static_cast<long long>(frac)));
}

void SystemClock::pause(Micros d)
{
    if (d <= Micros(0)) {
        processEvents();
        return;
    }
    const auto end = Clock_::now() + d;
    if (!pumpFn) {
        std::this_thread::sleep_until(end);
        return;
    }
    // The pump sleeps in the event loop until the time is up. The rest is rounded up to
    // whole milliseconds, so the last fraction is slept too and never spun.
    for (auto now = Clock_::now(); now < end; now = Clock_::now())
        pumpFn(std::chrono::ceil<Millis>(end - now));
}

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
