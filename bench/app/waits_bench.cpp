// CPU share of the program's waits with Qt's event pump: a 10 s wait (Delay) and the
// splash held to 2000 ms after start (DelayUntil). A wait must sleep: the share is
// measured as process CPU time over wall time.

#include "app/starting.h"
#include "core/base/message.h"
#include "platform/base/clock.h"
#include "platform/qt/qtservices.h"

#include <QApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

// Percent of one core the wait took.
double share(const std::function<void()>& wait, double& wallSeconds)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = cpuSeconds();
    wait();
    wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return 100.0 * (cpuSeconds() - cpu) / wallSeconds;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    platform::setEventPump(platform::qtEventPump());
    int failures = 0;
    auto report = [&failures](const char* name, double percent, double wall) {
        const bool over = percent >= 2.0;
        failures += over;
        std::printf("%-34s wall %6.2f s   CPU %5.2f %%%s\n", name, wall, percent, over ? "  OVER 2 %" : "");
    };

    double wall = 0;
    const double delay = share([] { core::Delay(10000); }, wall);
    report("10 s wait (Delay)", delay, wall);

    double splashWall = 0;
    const double splash = share(
        [] {
            const auto start = platform::clock().now();
            app::Starting window;
            window.show();
            core::DelayUntil(start, 2000);
        },
        splashWall);
    report("splash until 2000 ms (DelayUntil)", splash, splashWall);
    platform::setEventPump(nullptr);
    return failures == 0 ? 0 : 1;
}
