#pragma once
// Virtual time for tests: installed with platform::ScopedClock, it lets a test run the
// program's 10 s timeouts in no time while simulated devices answer on its observers.

#include "platform/base/clock.h"

#include <functional>
#include <vector>

namespace platform {

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

} // namespace platform
