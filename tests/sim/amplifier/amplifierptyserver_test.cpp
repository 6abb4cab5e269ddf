// The chain served on a pseudo-terminal (real time, short).

#include "sim/amplifier/amplifierptyserver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>

using namespace platform::sim;

namespace {

TEST(PtyServer, EchoesAndAnswersOnTheSlaveSide)
{
    AmplifierChain chain(AmplifierSimConfig{});
    AmplifierPtyServer server(chain);
    std::string error;
    ASSERT_TRUE(server.open(error)) << error;
    ASSERT_EQ(server.slavePath().rfind("/dev/pts/", 0), 0u);

    const int fd = ::open(server.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(t.c_lflag & ECHO, 0u); // raw: only the chain echoes
    ASSERT_EQ(write(fd, "s_b?\n", 5), 5);

    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (got != "s_b?\n0\n" && std::chrono::steady_clock::now() < end) {
        server.step();
        char buf[64];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0)
            got.append(buf, static_cast<std::size_t>(n));
        platform::clock().pause(platform::Micros(200));
    }
    EXPECT_EQ(got, "s_b?\n0\n");
    ::close(fd);
    // The server keeps its own end open: a client that left does not end it.
    EXPECT_FALSE(server.step());
}

TEST(PtyServer, SetupFailureIsReported)
{
    AmplifierSimConfig c;
    c.amplifiers[0].channels[1].networkFile = "/nonexistent/network.txt";
    std::ostringstream out;
    EXPECT_EQ(serveAmplifierOnPty(c, out), 1);
    EXPECT_NE(out.str().find("channel 2"), std::string::npos);
}

} // namespace
