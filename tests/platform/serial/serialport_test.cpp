// The serial port members, on the in-memory port.

#include "sim/serial/memoryserialport.h"

#include <gtest/gtest.h>

namespace {

TEST(LineSettings, Parse)
{
    struct Row {
        const char* text;
        bool ok;
        int baud;
        char parity;
        int data;
        int stop10;
    };
    const Row rows[] = {
        {"9600,n,8,1", true, 9600, 'n', 8, 10},
        {"19200,E,7,2", true, 19200, 'e', 7, 20},
        {"1200, o, 8, 1.5", true, 1200, 'o', 8, 15},
        {"9600,n,8", false, 0, 0, 0, 0},
        {"9600,x,8,1", false, 0, 0, 0, 0},
        {"9600,n,9,1", false, 0, 0, 0, 0},
        {"fast,n,8,1", false, 0, 0, 0, 0},
        {"9600,n,8,3", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
    };
    for (const auto& r : rows) {
        platform::LineSettings s;
        ASSERT_EQ(platform::parseLineSettings(r.text, s), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(s.baud, r.baud);
            EXPECT_EQ(s.parity, r.parity);
            EXPECT_EQ(s.dataBits, r.data);
            EXPECT_EQ(s.stopBits10, r.stop10);
        }
    }
}

TEST(MemoryPort, Properties)
{
    platform::MemorySerialPort port;
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    EXPECT_FALSE(port.setSettings("9600,n,8"));
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    EXPECT_TRUE(port.setCommPort(3));
    EXPECT_FALSE(port.setCommPort(0));
    EXPECT_TRUE(port.setPortOpen(true));
    EXPECT_TRUE(port.PortOpen());
    // No new port number while open; opening twice is refused.
    EXPECT_FALSE(port.setCommPort(2));
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_TRUE(port.setPortOpen(false));
}

TEST(MemoryPort, MissingPortFailsCleanly)
{
    platform::MemorySerialPort port;
    port.setMissing(true);
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_NE(port.lastError().find("Com1"), std::string::npos);
    // A closed port sends and receives nothing.
    port.Output("x");
    port.deliver("y");
    EXPECT_EQ(port.written(), "");
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_EQ(port.Input(), "");
}

TEST(MemoryPort, InputLenLimitsEachRead)
{
    platform::MemorySerialPort port;
    ASSERT_TRUE(port.setPortOpen(true));
    port.deliver("abc");
    EXPECT_EQ(port.InBufferCount(), 3);
    port.setInputLen(1);
    EXPECT_EQ(port.Input(), "a");
    EXPECT_EQ(port.InBufferCount(), 2);
    port.setInputLen(0);
    EXPECT_EQ(port.Input(), "bc");
    EXPECT_EQ(port.Input(), "");
    // Input waiting when the port closes is gone.
    port.deliver("zz");
    port.setPortOpen(false);
    port.setPortOpen(true);
    EXPECT_EQ(port.Input(), "");
}

} // namespace
