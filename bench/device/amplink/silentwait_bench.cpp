// CPU time of the program while it waits 10 s for the reply of a silent amplifier on a
// pseudo-terminal, with the Qt event pump installed as in the program. The wait must
// sleep: the waiting thread may use at most 2 % of the wall time.

#include "device/amplink/peloxtransport.h"
#include "platform/qt/qtservices.h"
#include "platform/serial/termiosserialport.h"
#include "sim/amplifier/amplifierptyserver.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <thread>

namespace {

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& v) { return static_cast<double>(v.tv_sec) + static_cast<double>(v.tv_usec) * 1e-6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::setEventPump(platform::qtEventPump());

    platform::sim::AmplifierSimConfig config;
    config.amplifiers[0].silent = true;
    platform::sim::AmplifierChain chain(config);
    platform::sim::AmplifierPtyServer server(chain);
    std::string error;
    if (!server.open(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.serve(stop); });
    platform::TermiosSerialPort port;
    port.setDevicePath(server.slavePath());
    if (!port.setPortOpen(true)) {
        std::fprintf(stderr, "%s\n", port.lastError().c_str());
        stop = true;
        serving.join();
        return 1;
    }
    device::setPeloxPort(&port);

    const auto wall0 = std::chrono::steady_clock::now();
    const double thread0 = threadCpuSeconds();
    const double process0 = processCpuSeconds();
    device::Pelox_Send("PELOX01 Iden?");
    const std::string reply = device::Pelox_Receive(10000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double thread = threadCpuSeconds() - thread0;
    const double process = processCpuSeconds() - process0;

    device::setPeloxPort(nullptr);
    port.setPortOpen(false);
    stop = true;
    serving.join();

    const double share = 100.0 * thread / wall;
    std::printf("silent amplifier wait: wall %.2f s, waiting thread CPU %.3f s (%.2f %%), "
                "process CPU with simulator %.3f s (%.2f %%), reply \"%s\"\n",
                wall, thread, share, process, 100.0 * process / wall, reply.c_str());
    const bool ok = wall >= 10.0 && reply.empty() && share < 2.0;
    std::printf("%s: CPU of the wait %s 2 %% of the wall time\n", ok ? "PASS" : "FAIL", share < 2.0 ? "under" : "not under");
    return ok ? 0 : 1;
}
