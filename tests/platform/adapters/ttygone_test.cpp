// A serial adapter on a real tty (a pseudo-terminal standing in for a USB serial
// converter) that goes away: the read's EIO is an error naming the device at once, not
// an empty answer that ends in a timeout.

#include "platform/adapters/passiveserialbackend.h"
#include "platform/base/clock.h"
#include "platform/serial/termiosserialport.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(TtyGone, EioIsAnErrorNamingTheDeviceAtOnce)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    char name[128] = {};
    ASSERT_EQ(ptsname_r(master, name, sizeof name), 0);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    platform::VirtualClock clock;
    platform::ScopedClock scoped{clock};
    // The far end echoes every character, as a passive adapter with a node on the bus
    // does for the reset (E0h).
    int far = master;
    const int observer = clock.addObserver([&far](platform::TimePoint) {
        if (far < 0)
            return;
        char buf[256];
        const ssize_t n = read(far, buf, sizeof buf);
        for (ssize_t i = 0; i < n; ++i)
            buf[i] = static_cast<unsigned char>(buf[i]) == 0xF0 ? '\xE0' : buf[i];
        if (n > 0)
            (void)write(far, buf, static_cast<std::size_t>(n));
    });
    auto port = std::make_unique<platform::TermiosSerialPort>();
    port->setDevicePath(name);
    platform::PassiveSerialBackend backend(std::move(port), 1);
    ASSERT_EQ(backend.openSession(), 1) << backend.lastError();
    ASSERT_EQ(backend.resetPulse(), platform::ResetOutcome::Presence);

    // Unplugged: the tty's far end is gone.
    far = -1;
    close(master);
    const auto before = clock.now();
    EXPECT_EQ(backend.resetPulse(), platform::ResetOutcome::Failed);
    EXPECT_NE(backend.lastError().find(name), std::string::npos) << backend.lastError();
    EXPECT_NE(backend.lastError().find("Input/output error"), std::string::npos) << backend.lastError();
    // Well inside the answer's allowance: not a timeout.
    EXPECT_LT(clock.now() - before, std::chrono::milliseconds(50));
    clock.removeObserver(observer);
}

} // namespace
