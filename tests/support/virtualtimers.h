#pragma once
// Timers on virtual time, fired as Qt's event loop fires its timers, for tests of what two
// timers of the program do to each other. A due timer runs at the top level (runUntil) and
// in every wait of the program (the event pump this installs), never inside its own
// handler; a periodic timer keeps its phase unless its handler overran it, as QTimer does;
// timers due at the same moment run in the order they were started. A posted handler runs
// at the next turn. Each turn of the pump costs turnCost of virtual time, as the bus work
// between two event polls of a scan step would.

#include "platform/base/clock.h"
#include "tests/kit/virtualclock.h"

#include <functional>
#include <optional>
#include <vector>

namespace testing_support {

class VirtualTimers {
public:
    VirtualTimers(platform::VirtualClock& clock, platform::Micros turnCost);
    ~VirtualTimers();
    VirtualTimers(const VirtualTimers&) = delete;
    VirtualTimers& operator=(const VirtualTimers&) = delete;

    // A periodic timer, first due at firstDue (default: one interval from now). Returns its id.
    int start(platform::Millis interval, std::function<void()> handler,
              std::optional<platform::TimePoint> firstDue = std::nullopt);
    // Starts it again from now with a new interval (QTimer::setInterval on an active timer).
    void restart(int id, platform::Millis interval);
    void stop(int id);
    bool active(int id) const;
    platform::TimePoint nextDue(int id) const;
    // Runs handler once, ms from now (0: at the next turn).
    void singleShot(platform::Millis ms, std::function<void()> handler);

    // The top level of the event loop: turns, time moving on to the next due timer, until
    // done() holds (true) or limit of virtual time has passed (false).
    bool runUntil(const std::function<bool()>& done, platform::Micros limit);

private:
    struct Timer {
        int id;
        platform::Millis interval;
        std::function<void()> handler;
        platform::TimePoint due;
        bool periodic;
        bool running = false;
        bool active = true;
    };
    // Runs every due timer that is not running, in start order.
    void turn();
    Timer* find(int id);
    const Timer* find(int id) const;

    platform::VirtualClock& clock_;
    platform::Micros turnCost_;
    std::vector<Timer> timers_;  // in start order
    int nextId_ = 1;
};

} // namespace testing_support
