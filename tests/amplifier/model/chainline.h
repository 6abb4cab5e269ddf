#pragma once
// The serial line between the program and a simulated amplifier chain, in two forms
// that the chain-read tests run on alike: an in-memory port on virtual time, and a
// real pseudo-terminal served by a thread on real time. Either registers its port as
// the transport's line.

#include "device/amplink/peloxtransport.h"
#include "platform/serial/termiosserialport.h"
#include "sim/amplifier/amplifierptyserver.h"
#include "sim/amplifier/amplifiersimconfig.h"
#include "sim/serial/memoryserialport.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace chain_line {

using namespace platform::sim;

// The chain a description gives; a description that does not parse fails the test.
inline AmplifierSimConfig chainOf(const std::string& description)
{
    AmplifierSimConfig c;
    std::string error;
    EXPECT_TRUE(parseAmplifierSimConfig(description, "/", c, error)) << error;
    return c;
}

// Fast line timings for the real-time line.
inline void quickLine(AmplifierSimConfig& c)
{
    c.line.echoDelay = platform::Micros(200);
    c.line.replyDelay = platform::Micros(500);
    c.line.charInterval = platform::Micros(100);
}

class MemoryLine {
public:
    static constexpr bool kRealTime = false;
    // May be called again for a fresh chain.
    void start(AmplifierSimConfig c)
    {
        port_.setPortOpen(false);
        chain_ = std::make_unique<AmplifierChain>(c);
        port_.attach(chain_.get());
        ASSERT_TRUE(port_.setPortOpen(true));
        device::setPeloxPort(&port_);
    }
    // The chain, once nothing runs on the far end any more.
    AmplifierChain& chain() { return *chain_; }
    void stop() {}
    ~MemoryLine() { device::setPeloxPort(nullptr); }

private:
    platform::VirtualClock clock_;
    platform::ScopedClock scoped_{clock_};
    platform::MemorySerialPort port_;
    std::unique_ptr<AmplifierChain> chain_;
};

class PtyLine {
public:
    static constexpr bool kRealTime = true;
    void start(AmplifierSimConfig c)
    {
        quickLine(c);
        chain_ = std::make_unique<AmplifierChain>(c);
        server_ = std::make_unique<AmplifierPtyServer>(*chain_);
        std::string error;
        ASSERT_TRUE(server_->open(error)) << error;
        thread_ = std::thread([this] { server_->serve(stop_); });
        port_.setDevicePath(server_->slavePath());
        ASSERT_TRUE(port_.setPortOpen(true)) << port_.lastError();
        device::setPeloxPort(&port_);
    }
    AmplifierChain& chain()
    {
        stop();
        return *chain_;
    }
    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    ~PtyLine()
    {
        device::setPeloxPort(nullptr);
        port_.setPortOpen(false);
        stop();
    }

private:
    std::unique_ptr<AmplifierChain> chain_;
    std::unique_ptr<AmplifierPtyServer> server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    platform::TermiosSerialPort port_;
};

} // namespace chain_line
