// The system clock's waits sleep in the event pump to the end, in whole milliseconds
// rounded up: the pump is never asked for a wait of nothing while time is left.
#include "platform/base/clock.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using platform::Micros;
using platform::Millis;

class SystemClockPause : public ::testing::Test {
protected:
    ~SystemClockPause() override { platform::setEventPump(nullptr); }
    // A pump that sleeps as the Qt one does and records what it was asked.
    void installPump()
    {
        platform::setEventPump([this](Millis maxWait) {
            asked.push_back(maxWait);
            std::this_thread::sleep_for(maxWait);
        });
    }
    std::vector<Millis> asked;
    platform::SystemClock clock;
};

TEST_F(SystemClockPause, SleepsTheLastFractionOfAMillisecondInsteadOfSpinning)
{
    installPump();
    const auto start = platform::Clock_::now();
    clock.pause(Micros(2300));
    EXPECT_GE(platform::Clock_::now() - start, Micros(2300));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), Millis(3));
    for (Millis m : asked)
        EXPECT_GT(m.count(), 0);
    EXPECT_LE(asked.size(), 2u);
}

TEST_F(SystemClockPause, NoTimeLeftRunsPendingEventsOnce)
{
    installPump();
    clock.pause(Micros(0));
    clock.pause(Micros(-5));
    EXPECT_EQ(asked, (std::vector<Millis>{Millis(0), Millis(0)}));
}

TEST_F(SystemClockPause, WithoutAPumpItSleepsToTheEnd)
{
    const auto start = platform::Clock_::now();
    clock.pause(Micros(1500));
    EXPECT_GE(platform::Clock_::now() - start, Micros(1500));
}

// The whole wait is one pause; on virtual time it still polls as a busy wait would.
TEST(VirtualClockPause, ALongPauseIsSeenByObserversInPollSteps)
{
    platform::VirtualClock clock;
    std::vector<platform::TimePoint> seen;
    clock.addObserver([&seen](platform::TimePoint t) { seen.push_back(t); });
    const auto start = clock.now();
    clock.pause(Micros(12000));
    EXPECT_EQ(clock.now() - start, Micros(12000));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0] - start, platform::kVirtualPoll);
    clock.pause(Micros(0));
    EXPECT_EQ(clock.now() - start, Micros(12001));  // time always moves on
}

} // namespace
