#pragma once
// The one clock service. Every wait and timeout of the program goes through it:
// the system clock sleeps between event polls; tests install a virtual clock
// (tests/kit/virtualclock.h) that runs 10 s timeouts in no time.

#include "platform/base/scopedhook.h"

#include <chrono>
#include <functional>

namespace platform {

using Clock_ = std::chrono::steady_clock;
using TimePoint = Clock_::time_point;
using Micros = std::chrono::microseconds;
using Millis = std::chrono::milliseconds;

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time.
    virtual TimePoint now() = 0;
    // Local time of day in seconds since midnight (for traces and reports only).
    virtual double timeOfDay() = 0;
    // Let pending window events run while sleeping d, no CPU spent (the virtual clock
    // advances by d). d of 0 or less: pending events run once.
    virtual void pause(Micros d) = 0;
};

// The clock in force; the system clock unless a test or the app set another.
Clock& clock();
// nullptr restores the system clock. The caller keeps ownership.
void setClock(Clock* c);

// Runs pending window events, waiting at most maxWait for one to arrive.
// The app installs a Qt pump; without one the system clock simply sleeps.
using EventPump = std::function<void(Millis maxWait)>;
void setEventPump(EventPump pump);
// Runs pending events once without waiting (no-op without a pump).
void processEvents();

class SystemClock final : public Clock {
public:
    TimePoint now() override;
    double timeOfDay() override;
    void pause(Micros d) override;
};

// Installs a clock for the lifetime of the object (tests).
class ScopedClock : ScopedHook<Clock*> {
public:
    explicit ScopedClock(Clock& c) : ScopedHook(&setClock, &c) {}
};

} // namespace platform
