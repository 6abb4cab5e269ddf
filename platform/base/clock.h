#pragma once
// The one clock service. Every wait and timeout of the program goes through it:
// the system clock sleeps between event polls, the virtual clock lets tests run
// 10 s timeouts in no time.

#include <chrono>
#include <functional>
#include <vector>

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

// Virtual time for tests. pause() runs pending events, then advances time and calls
// every observer, so a simulated device can answer "while" the program waits; a long
// pause does so in steps of at most kVirtualPoll.
inline constexpr Micros kVirtualPoll{5000};
class VirtualClock final : public Clock {
public:
    VirtualClock();
    TimePoint now() override { return now_; }
    double timeOfDay() override;
    void pause(Micros d) override;
    // Moves time forward by d (observers are called).
    void advance(Micros d);
    void setTimeOfDay(double secondsSinceMidnight) { todBase_ = secondsSinceMidnight; todStart_ = now_; }
    // Called after every advance with the new time.
    int addObserver(std::function<void(TimePoint)> f);
    void removeObserver(int id);
    Micros elapsed() const { return std::chrono::duration_cast<Micros>(now_ - start_); }

private:
    TimePoint start_;
    TimePoint now_;
    double todBase_ = 12 * 3600.0;
    TimePoint todStart_;
    struct Obs { int id; std::function<void(TimePoint)> f; };
    std::vector<Obs> observers_;
    int nextId_ = 1;
};

// Installs a clock for the lifetime of the object (tests).
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { setClock(&c); }
    ~ScopedClock() { setClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

} // namespace platform
