#pragma once
// Test helpers: a simulated network behind the 1-Wire calls on virtual time, and the
// primitives the device layer builds from those calls (select, re-address, byte block,
// bit, strong pull-up, end; one search step).

#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/virtualclock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tmextest {

using Bytes = std::vector<int>;
constexpr std::int16_t kPortNum = 1;
constexpr std::int16_t kPortType = 5;

class SimFixture : public ::testing::Test {
protected:
    SimFixture() : scoped_(clock_)
    {
        platform::resetTmex();
        net_ = std::make_shared<platform::sim::SimNetwork>();
        // The simulated network's own backend, or an adapter emulator (TEDSMITH_TEST_ADAPTER).
        adapter_ = platform::emu::serveFromEnvironment(net_, kPortType, kPortNum);
    }
    ~SimFixture() override { platform::resetTmex(); }
    // The adapter's emulator (if any) was sent nothing its chip does not allow.
    void TearDown() override { EXPECT_EQ(adapter_.protocolErrors(), std::vector<std::string>{}); }

    template <class Node>
    Node& add(std::uint8_t family, std::uint64_t serial)
    {
        auto node = std::make_shared<Node>(platform::sim::RomCode::make(family, serial));
        net_->addNode(node);
        return *node;
    }

    platform::VirtualClock clock_;
    platform::ScopedClock scoped_;
    std::shared_ptr<platform::sim::SimNetwork> net_;
    platform::emu::EmulatedAdapter adapter_;
    platform::TmexStateBuffer state_;
};

// One device job on the adapter, as the device layer runs it.
class Job {
public:
    explicit Job(platform::TmexStateBuffer& state) : state_(state) {}
    ~Job() { end(); }

    // Session start (one retry), ROM loaded from the node id, access.
    bool select(const std::string& nodeId)
    {
        platform::TmexRom rom{};
        for (int i = 0; i < 8; ++i)
            rom[static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(std::stoi(nodeId.substr(static_cast<std::size_t>(14 - 2 * i), 2), nullptr, 16));
        session_ = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
        if (session_ <= 0)
            session_ = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
        if (session_ <= 0)
            return false;
        platform::TMRom(session_, state_, rom);
        return platform::TMAccess(session_, state_) == 1;
    }
    bool access() { return platform::TMAccess(session_, state_) == 1; }
    // One byte block: what the bus returned for each byte sent.
    Bytes block(const Bytes& bytes)
    {
        Bytes out;
        for (int b : bytes)
            out.push_back(platform::TMTouchByte(session_, static_cast<std::int16_t>(b)));
        return out;
    }
    Bytes read(int n) { return block(Bytes(static_cast<std::size_t>(n), 0xFF)); }
    // Sends what the adapter holds back (an adapter that pipelines sends a selection's
    // reset and Match ROM with the next exchange).
    void sendHeld() { platform::TMBlockStream(session_, nullptr, 0); }
    int bit(int b) { return platform::TMTouchBit(session_, static_cast<std::int16_t>(b)); }
    void pullup(int ms)
    {
        platform::TMOneWireLevel(session_, 0, 1, 0);
        platform::clock().pause(std::chrono::milliseconds(ms));
        platform::TMOneWireLevel(session_, 0, 0, 0);
    }
    std::int16_t programByte(int value, int address, int memoryType, std::int16_t& bits, int zeros)
    {
        return platform::TMProgramByte(session_, state_, static_cast<std::int16_t>(value),
                                       static_cast<std::int16_t>(address), static_cast<std::int16_t>(memoryType), bits,
                                       static_cast<std::int16_t>(zeros));
    }
    void end()
    {
        if (session_ > 0)
            platform::TMEndSession(session_);
        session_ = 0;
    }
    std::int32_t session() const { return session_; }

private:
    platform::TmexStateBuffer& state_;
    std::int32_t session_ = 0;
};

struct StepResult {
    bool found = false;
    bool done = false;
    std::string id;
};

// One search step in its own session.
inline StepResult searchStep(platform::TmexStateBuffer& state, bool& setupDone)
{
    StepResult r;
    std::int32_t s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    if (s <= 0)
        s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    if (s > 0) {
        if (!setupDone)
            setupDone = platform::TMSetup(s) == 1;
        r.found = platform::TMNext(s, state) == 1;
        if (r.found) {
            platform::TmexRom rom{};
            platform::TMRom(s, state, rom);
            static const char* hex = "0123456789ABCDEF";
            for (int i = 7; i >= 0; --i) {
                r.id += hex[(rom[static_cast<std::size_t>(i)] >> 4) & 0x0F];
                r.id += hex[rom[static_cast<std::size_t>(i)] & 0x0F];
            }
        } else {
            r.done = platform::TMValidSession(s) == 1;
        }
    }
    platform::TMEndSession(s);
    return r;
}

// Steps until the pass is done; the ids in the order found.
inline std::vector<std::string> searchPass(platform::TmexStateBuffer& state)
{
    bool setup = false;
    std::vector<std::string> ids;
    for (int guard = 0; guard < 200; ++guard) {
        const StepResult r = searchStep(state, setup);
        if (r.found)
            ids.push_back(r.id);
        if (r.done || (!r.found && !r.done))
            break;
    }
    return ids;
}

inline std::string idOf(const platform::sim::SimNode& n) { return n.rom().nodeId(); }

} // namespace tmextest
