#include "platform/base/clock.h"

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

} // namespace platform
