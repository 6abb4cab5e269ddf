// The tty port against a real pseudo-terminal, and the port-number rule.

#include "platform/serial/comports.h"
#include "platform/serial/termiosserialport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

// The far side: the master of a fresh pseudo-terminal.
class Pty {
public:
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            char name[128] = {};
            if (ptsname_r(master, name, sizeof name) == 0)
                slave = name;
            fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty()
    {
        if (master >= 0)
            close(master);
    }
    std::string readFor(std::chrono::milliseconds d, std::size_t want)
    {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + d;
        while (got.size() < want && std::chrono::steady_clock::now() < end) {
            char buf[64];
            const ssize_t n = read(master, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return got;
    }
    int master = -1;
    std::string slave;
};

class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value, 1);
    }
    ~EnvVar()
    {
        if (old_.empty())
            unsetenv(name_);
        else
            setenv(name_, old_.c_str(), 1);
    }

private:
    const char* name_;
    std::string old_;
};

std::string waitInput(platform::SerialPort& port, std::size_t want)
{
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (got.size() < want && std::chrono::steady_clock::now() < end) {
        got += port.Input();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return got;
}

TEST(CommPortRule, OverrideThenUsbThenBuiltIn)
{
    {
        EnvVar v("TEDSMITH_COM2", "/dev/pts/77");
        EXPECT_EQ(platform::commPortDevice(2), "/dev/pts/77");
    }
    unsetenv("TEDSMITH_COM4");
    const std::string usb = "/dev/ttyUSB3";
    EXPECT_EQ(platform::commPortDevice(4), access(usb.c_str(), F_OK) == 0 ? usb : "/dev/ttyS3");
}

TEST(TermiosPort, MissingDeviceFailsCleanly)
{
    EnvVar v("TEDSMITH_COM1", "/nonexistent/ttyX");
    platform::TermiosSerialPort port;
    port.setCommPort(1);
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_NE(port.lastError().find("/nonexistent/ttyX"), std::string::npos);
    port.Output("x");
    EXPECT_EQ(port.Input(), "");
    EXPECT_EQ(port.InBufferCount(), 0);
}

TEST(TermiosPort, NotATerminalIsRefused)
{
    platform::TermiosSerialPort port;
    port.setDevicePath("/dev/null");
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_NE(port.lastError().find("not a serial device"), std::string::npos);
}

TEST(TermiosPort, TalksRawOverAPseudoTerminal)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    EnvVar v("TEDSMITH_COM3", pty.slave.c_str());
    platform::TermiosSerialPort port;
    port.setCommPort(3);
    ASSERT_TRUE(port.setSettings("9600,n,8,1"));
    ASSERT_TRUE(port.setPortOpen(true)) << port.lastError();
    EXPECT_EQ(port.devicePath(), pty.slave);

    // Raw: no echo by the line discipline, LF passes unchanged, bytes above 7Fh too.
    port.Output("conf?\n\xE9");
    EXPECT_EQ(pty.readFor(std::chrono::milliseconds(300), 7), "conf?\n\xE9");
    EXPECT_EQ(port.InBufferCount(), 0);

    const std::string back = "OK\r\n\x03";
    ASSERT_EQ(write(pty.master, back.data(), back.size()), static_cast<ssize_t>(back.size()));
    port.setInputLen(1);
    EXPECT_EQ(waitInput(port, 1), "O");
    port.setInputLen(0);
    EXPECT_EQ(waitInput(port, 4), "K\r\n\x03");
    EXPECT_EQ(port.OutBufferCount(), 0);
    port.setOutBufferCount(0);
    EXPECT_TRUE(port.setSettings("19200,e,7,2"));
    EXPECT_FALSE(port.setSettings("12345,n,8,1")); // no such speed
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.PortOpen());
}

// Waiting for input sleeps until the far side writes, or the time is up.
TEST(TermiosWait, SleepsUntilInputArrivesOrTheTimeIsUp)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    platform::TermiosSerialPort port;
    port.setDevicePath(pty.slave);
    EXPECT_FALSE(port.canWaitForInput());
    ASSERT_TRUE(port.setPortOpen(true)) << port.lastError();
    EXPECT_TRUE(port.canWaitForInput());

    using namespace std::chrono;
    const auto t0 = steady_clock::now();
    EXPECT_FALSE(port.waitForInput(milliseconds(200)));
    EXPECT_GE(steady_clock::now() - t0, milliseconds(190));

    std::thread writer([&] {
        std::this_thread::sleep_for(milliseconds(30));
        ASSERT_EQ(write(pty.master, "x", 1), 1);
    });
    const auto t1 = steady_clock::now();
    EXPECT_TRUE(port.waitForInput(milliseconds(2000)));
    EXPECT_LT(steady_clock::now() - t1, milliseconds(1000));
    writer.join();
    EXPECT_EQ(port.Input(), "x");

    // awaitInput: one step that returns at the deadline when nothing comes.
    const auto t2 = steady_clock::now();
    platform::awaitInput(&port, platform::clock().now() + milliseconds(10));
    EXPECT_LT(steady_clock::now() - t2, milliseconds(500));
}

} // namespace
