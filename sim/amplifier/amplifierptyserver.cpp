#include "sim/amplifier/amplifierptyserver.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platform::sim {

namespace {

constexpr Micros kServePoll{500};
constexpr Micros kServeSlice{50000};

std::atomic<bool> stopRequested{false};

void onSignal(int) { stopRequested = true; }

} // namespace

AmplifierPtyServer::~AmplifierPtyServer()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool AmplifierPtyServer::open(std::string& error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    if (tcgetattr(slave_, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(slave_, TCSANOW, &t);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    return true;
}

bool AmplifierPtyServer::step()
{
    if (master_ < 0)
        return false;
    bool moved = false;
    char buf[256];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            chain_.hostWrote(std::string(buf, static_cast<std::size_t>(n)), clock().now());
            moved = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    unsent_ += chain_.sentBy(clock().now());
    while (!unsent_.empty()) {
        const ssize_t n = ::write(master_, unsent_.data(), unsent_.size());
        if (n > 0) {
            unsent_.erase(0, static_cast<std::size_t>(n));
            moved = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return moved;
}

void AmplifierPtyServer::serve(const std::atomic<bool>& stop)
{
    while (!stop) {
        if (step())
            continue;
        if (!dynamic_cast<SystemClock*>(&clock())) {
            clock().pause(kServePoll);
            continue;
        }
        // Sleeps until the host writes or the next character is due (the stop flag is
        // looked at every slice).
        Micros wait = kServeSlice;
        if (const auto due = chain_.nextDue())
            wait = std::clamp(std::chrono::duration_cast<Micros>(*due - clock().now()), Micros(0), kServeSlice);
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>((wait.count() + 999) / 1000));
    }
}

int serveAmplifierOnPty(const AmplifierSimConfig& config, std::ostream& out)
{
    AmplifierChain chain(config);
    std::string error;
    if (!chain.loadNetworks(error)) {
        out << error << std::endl;
        return 1;
    }
    AmplifierPtyServer server(chain);
    if (!server.open(error)) {
        out << error << std::endl;
        return 1;
    }
    out << server.slavePath() << std::endl;
    stopRequested = false;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    server.serve(stopRequested);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return 0;
}

} // namespace platform::sim
