// The TMEX branch of the 1-Wire access against the simulated network: search passes,
// session starts and ends, selection, and the bus traffic of the primitives.
#include "device/onewire/byteio.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/onewirewindow.h"
#include "device/onewire/session.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/state/devicelayer.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/device/onewire/simbus.h"
#include "tests/support/freshstate.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace device;
using platform::sim::RomCode;
using testing_support::busText;
using Lines = std::vector<std::string>;

namespace {

struct FakeWindow final : OneWireWindow {
    void Set_CommModeWindow() override { ++commModeCalls; }
    bool ds9097uDriverChecked() override { return ds9097u; }
    void setSpeedFrameVisible(bool visible) override { frame = visible ? 1 : 0; }
    bool speedOptionSet(int index) override { return index == option; }
    void showCommMode(const std::string& text) override { mode = text; }

    int commModeCalls = 0;
    bool ds9097u = false;
    int option = -1;
    int frame = -1;
    std::string mode = "(unchanged)";
};

struct Step {
    std::optional<bool> result;
    bool found = false;
    bool done = false;
    std::string id;
    int family = 0;
};

Step step()
{
    Step s;
    s.result = uLAN_FindNext(s.found, s.done, s.id, s.family);
    return s;
}

class TmexBranch : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    void SetUp() override
    {
        DeviceState& ds = deviceState();
        ds.InterfaceType = device::InterfaceType::Adapter;
        ds.PortNum = 1;
        ds.PortType = 1;
        backend = std::make_shared<testing_support::CountingSimBackend>(net);
        platform::registerBackend(1, 1, backend);
    }

    platform::sim::SimNode& plug(const RomCode& r) { return net.addNode(platform::sim::makeNode(r)); }

    // Steps until Done (at most limit); the ids found, in order.
    Lines pass(int* steps = nullptr, int limit = 20)
    {
        Lines ids;
        int n = 0;
        for (;;) {
            const Step s = step();
            ++n;
            EXPECT_TRUE(s.result.value_or(false));
            if (s.found)
                ids.push_back(s.id);
            if (s.done || n >= limit)
                break;
        }
        if (steps)
            *steps = n;
        return ids;
    }

    platform::sim::SimNetwork net;
    std::shared_ptr<testing_support::CountingSimBackend> backend;
    FakeWindow window;
    platform::ScopedHook<OneWireWindow*> windowHook{&setOneWireWindow, &window};
    // Last: the sessions close while the network is there.
    testing_support::FreshState<resetDeviceLayer> fresh;
};

Lines sorted(Lines v)
{
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

TEST_F(TmexBranch, SearchPassesOverZeroOneAndThreeNodesWithPlugging)
{
    const RomCode a = RomCode::make(0x23, 0x000000000A01);
    const RomCode b = RomCode::make(0x2D, 0x000000000B02);
    const RomCode c = RomCode::make(0x10, 0x000000000C03);
    struct Row {
        const char* name;
        std::vector<RomCode> plugIn, unplug;
        Lines expected;
    };
    const Row rows[] = {
        {"empty", {}, {}, {}},
        {"one", {a}, {}, {a.nodeId()}},
        {"three", {b, c}, {}, {a.nodeId(), b.nodeId(), c.nodeId()}},
        {"one_unplugged", {}, {b}, {a.nodeId(), c.nodeId()}},
        {"all_unplugged", {}, {a, c}, {}},
    };
    for (const Row& r : rows) {
        for (const auto& x : r.plugIn)
            plug(x);
        for (const auto& x : r.unplug)
            net.removeNode(x);
        const int starts = backend->starts, ends = backend->ends, calls = window.commModeCalls;
        int steps = 0;
        const Lines ids = pass(&steps);
        EXPECT_EQ(sorted(ids), sorted(r.expected)) << r.name;
        const int n = static_cast<int>(r.expected.size());
        EXPECT_EQ(steps, n + 1) << r.name;
        // Each step opens and ends its own session, and tells the window.
        EXPECT_EQ(backend->starts - starts, n + 1) << r.name;
        EXPECT_EQ(backend->ends - ends, n + 1) << r.name;
        EXPECT_EQ(window.commModeCalls - calls, n + 1) << r.name;
    }
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(backend->setups, 1);  // set up once for the port
}

TEST_F(TmexBranch, FoundNodeGivesIdCrcFirstAndFamily)
{
    // ROM elements 0 .. 7: 10h, 01h .. 06h, CRC.
    const RomCode r = RomCode::make(0x10, 0x060504030201);
    ASSERT_EQ(r.bytes[1], 0x01);
    ASSERT_EQ(r.bytes[6], 0x06);
    plug(r);
    const Step s = step();
    EXPECT_TRUE(*s.result);
    EXPECT_TRUE(s.found);
    EXPECT_FALSE(s.done);
    EXPECT_EQ(s.id, core::ByteToHex2(r.bytes[7]) + "06050403020110");
    EXPECT_EQ(s.family, 16);
    const Step last = step();
    EXPECT_FALSE(last.found);
    EXPECT_TRUE(last.done);
    EXPECT_EQ(last.id, "");
    EXPECT_EQ(last.family, 0);
}

TEST_F(TmexBranch, FailedSessionStartIsRetriedOnceAndReportedOnce)
{
    net.faults().failSessionStarts = 100;
    for (int i = 1; i <= 3; ++i) {
        const Step s = step();
        EXPECT_FALSE(*s.result);
        EXPECT_FALSE(s.found);
        EXPECT_FALSE(s.done);
        EXPECT_EQ(backend->starts, 2 * i);
    }
    EXPECT_EQ(box.prompts(), (Lines{"Error accessing the microLAN\r\n\r\nPortNum = 1\r\nPortType = 1\r\n"}));
    EXPECT_EQ(box.shown[0].buttons, platform::MsgCritical);
    EXPECT_EQ(box.shown[0].title, "");
    EXPECT_EQ(trace.lines, (Lines{"Error accessing the microLAN"}));
    EXPECT_EQ(window.commModeCalls, 0);
    EXPECT_EQ(backend->ends, 0);

    // The next interface activation clears the flag: the next failure is reported again.
    deviceState().SessionError = 0;
    step();
    EXPECT_EQ(box.shown.size(), 2u);

    // A start that fails only once is saved by the retry.
    net.faults().failSessionStarts = 1;
    const int before = backend->starts;
    const Step s = step();
    EXPECT_TRUE(*s.result);
    EXPECT_TRUE(s.done);
    EXPECT_EQ(backend->starts - before, 2);
    EXPECT_EQ(box.shown.size(), 2u);
}

TEST_F(TmexBranch, PortWithoutHardwareReportsTheDriverCode)
{
    deviceState().PortNum = 2;
    const Step s = step();
    EXPECT_FALSE(*s.result);
    EXPECT_EQ(box.prompts(),
              (Lines{"Error accessing the microLAN\r\nHardware Specific driver not found and is required, TMEX session "
                     "error code -201\r\nPortNum = 2\r\nPortType = 1\r\n"}));
    EXPECT_FALSE(uLAN_SelectNode_Access("A706050403020110"));
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(trace.lines, (Lines{"Error accessing the microLAN", "uLAN_SelectNode_Access failed"}));
}

TEST_F(TmexBranch, SelectionLoadsTheRomAndKeepsTheSessionForTheJob)
{
    const RomCode r = RomCode::make(0x23, 0x0000AABBCCDD);
    auto& node = static_cast<platform::sim::SimDs2433&>(plug(r));
    for (std::size_t i = 0; i < 32; ++i)
        node.memory()[i] = static_cast<std::uint8_t>(0x40 + i);
    net.clearTranscript();

    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    const auto& rb = oneWireState().RomBuffer;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(rb[static_cast<std::size_t>(i)], r.bytes[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(backend->ends, 0);

    MemImage cmd;
    cmd.Data = {0, 0xF0, 0x00, 0x00};
    Block_IO(cmd, true, 1, 3);
    MemImage mi;
    mi.Pages = 1;
    mi.PageSize = 32;
    mi.dimension();
    Block_IO(mi, false, 1, 32);
    uLAN_End();
    EXPECT_EQ(backend->ends, 1);
    EXPECT_FALSE(oneWireState().IoError);

    std::string expected = "R 55";
    for (auto b : r.bytes)
        expected += " " + core::ByteToHex2(b);
    expected += " F0 00 00";
    for (int i = 0; i < 32; ++i)
        expected += " FF/" + core::ByteToHex2(static_cast<unsigned>(0x40 + i));
    // The access verifies the node by a search of its own before the Match ROM.
    const std::string bus = busText(net);
    ASSERT_GE(bus.size(), expected.size());
    EXPECT_EQ(bus.substr(bus.size() - expected.size()), expected);
    EXPECT_EQ(bus.rfind("R ", 0), 0u);
    EXPECT_EQ(cmd.Data, (ByteArray{0, 0xF0, 0x00, 0x00}));
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0x40 + i - 1);
}

TEST_F(TmexBranch, ReaddressingBetweenCommands)
{
    const RomCode r = RomCode::make(0x2D, 0x000000001234);
    plug(r);
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    net.clearTranscript();
    uLAN_Access();
    std::string expected = "R 55";
    for (auto b : r.bytes)
        expected += " " + core::ByteToHex2(b);
    const std::string bus = busText(net);
    ASSERT_GE(bus.size(), expected.size());
    EXPECT_EQ(bus.substr(bus.size() - expected.size()), expected);
    EXPECT_FALSE(oneWireState().IoError);

    // The node leaves between two commands: only a trace line, and the read fails.
    net.removeNode(r);
    uLAN_Access();
    EXPECT_EQ(trace.lines, (Lines{"uLAN_Access failed: "}));
    EXPECT_TRUE(oneWireState().IoError);
    uLAN_End();
}

TEST_F(TmexBranch, FailedAccessEndsTheSessionAndTheNextStepStillOpensOne)
{
    const RomCode present = RomCode::make(0x23, 0x000000000777);
    plug(present);
    EXPECT_FALSE(uLAN_SelectNode_Access(RomCode::make(0x2D, 0x000000000999).nodeId()));
    EXPECT_EQ(trace.lines, (Lines{"uLAN_SelectNode_Access failed: "}));
    EXPECT_TRUE(oneWireState().IoError);
    EXPECT_EQ(backend->ends, 1);  // no session is left open
    EXPECT_TRUE(box.shown.empty());
    uLAN_End();  // the driver's uLAN_End is harmless
    EXPECT_EQ(backend->ends, 1);

    const Step s = step();
    EXPECT_TRUE(*s.result);
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.id, present.nodeId());
    EXPECT_EQ(backend->starts, 2);

    // The next job on a present node clears the error.
    EXPECT_TRUE(uLAN_SelectNode_Access(present.nodeId()));
    EXPECT_FALSE(oneWireState().IoError);
    uLAN_End();
}

TEST_F(TmexBranch, IdDigitsAreReadUpToTheFirstNonHexCharacter)
{
    const RomCode r = RomCode::make(0x23, 0x000000000001);
    plug(r);
    std::string id = r.nodeId();
    id[15] = 'x';  // the family pair becomes "2x": 2
    EXPECT_FALSE(uLAN_SelectNode_Access(id));
    EXPECT_EQ(oneWireState().RomBuffer[0], 2);
    EXPECT_EQ(oneWireState().RomBuffer[7], r.bytes[7]);
    EXPECT_EQ(backend->starts, 1);

    // No family code: nothing could be loaded, so nothing is selected.
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    uLAN_End();
    trace.lines.clear();
    EXPECT_FALSE(uLAN_SelectNode_Access("A7"));  // pairs past the end give 0
    EXPECT_EQ(oneWireState().RomBuffer[0], 0);
    EXPECT_EQ(oneWireState().RomBuffer[7], 0xA7);
    EXPECT_EQ(trace.lines, (Lines{"uLAN_SelectNode_Access failed"}));
    EXPECT_EQ(backend->starts, 2);
    EXPECT_TRUE(oneWireState().IoError);
}

TEST_F(TmexBranch, TouchPrimitivesOnTheOpenSession)
{
    const RomCode r = RomCode::make(0x2D, 0x000000000042);
    plug(r);
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    net.clearTranscript();
    EXPECT_EQ(Touch_Byte(0xF0), 0xF0);
    EXPECT_EQ(Touch_Bit(1), 1);
    EXPECT_EQ(busText(net), "F0 b11");
    uLAN_End();

    // After the end the session is gone: TMEX's code is clamped to 0 and the job fails.
    EXPECT_EQ(Touch_Byte(0xFF), 0);
    EXPECT_TRUE(oneWireState().IoError);
    EXPECT_LT(Touch_Bit(1), 0);
}

TEST_F(TmexBranch, StrongPullupIsHeldForTheDelay)
{
    const RomCode r = RomCode::make(0x23, 0x000000000043);
    plug(r);
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    net.clearTranscript();
    const auto start = clock.now();
    Strong_Pullup(10);
    const auto waited = std::chrono::duration_cast<platform::Millis>(clock.now() - start).count();
    EXPECT_GE(waited, 10);
    EXPECT_LT(waited, 20);
    ASSERT_EQ(net.transcript().size(), 1u);
    EXPECT_EQ(net.transcript()[0].kind, platform::sim::BusEvent::StrongPullup);
    EXPECT_GE(net.transcript()[0].duration, platform::Micros(10000));
    EXPECT_FALSE(net.strongPullupOn());
    uLAN_End();
}

TEST_F(TmexBranch, APrimedPullupFollowsTheLastByteAndIsHeldForTheDelay)
{
    const RomCode r = RomCode::make(0x23, 0x000000000043);
    plug(r);
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    net.clearTranscript();
    MemImage mi;
    mi.Data = {0, 0x55, 0x00, 0x00, 0x1F};
    const auto start = clock.now();
    Block_IO_Pullup(mi, 1, 4, 10);
    EXPECT_GE(std::chrono::duration_cast<platform::Millis>(clock.now() - start).count(), 10);
    const auto& t = net.transcript();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[3].kind, platform::sim::BusEvent::Byte);
    EXPECT_EQ(t[3].written, 0x1F);
    EXPECT_EQ(t[4].kind, platform::sim::BusEvent::StrongPullup);
    EXPECT_GE(t[4].duration, platform::Micros(10000));
    EXPECT_EQ(t[4].idleBefore, platform::Micros(0));
    EXPECT_FALSE(net.strongPullupOn());
    EXPECT_FALSE(oneWireState().IoError);
    uLAN_End();

    // Without a session nothing is sent and nothing is waited for.
    const auto after = clock.now();
    EXPECT_EQ(Touch_Byte_Pullup(0x44, 750), 0);
    EXPECT_EQ(clock.now(), after);
    EXPECT_TRUE(oneWireState().IoError);
}

TEST_F(TmexBranch, ProgramByteOnTheDualSwitch)
{
    const RomCode r = RomCode::make(0x12, 0x000000000044);
    auto& node = static_cast<platform::sim::SimDualSwitch&>(plug(r));
    node.memory().fill(0xFF);
    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    net.clearTranscript();
    int bits = 8;
    EXPECT_EQ(Program_Byte(0x5A, 3, 0, bits, 0), 1);
    EXPECT_EQ(node.memory()[3], 0x5A);
    EXPECT_EQ(bits, 0);
    // Access, Write Memory at 0003h with the byte, the inverted CRC16 of those four
    // bytes read back, the programming pulse, the byte read back.
    const std::uint8_t cmd[] = {0x0F, 0x03, 0x00, 0x5A};
    const auto crc = static_cast<std::uint16_t>(~platform::crc16(cmd, 4));
    auto readBack = [](unsigned v) { return v == 0xFF ? std::string("FF") : "FF/" + core::ByteToHex2(v); };
    std::string expected = "R 55";
    for (auto b : r.bytes)
        expected += " " + core::ByteToHex2(b);
    expected += " 0F 03 00 5A " + readBack(crc & 0xFFu) + " " + readBack(crc >> 8) + " PP FF/5A";
    const std::string bus = busText(net);
    ASSERT_GE(bus.size(), expected.size());
    EXPECT_EQ(bus.substr(bus.size() - expected.size()), expected);
    EXPECT_EQ(bus.rfind("R F0 ", 0), 0u);
    // An EPROM bit cannot go back to 1: the call's own code comes back.
    bits = 8;
    const int r2 = Program_Byte(0xFF, 3, 0, bits, 0);
    EXPECT_NE(r2, 1);
    EXPECT_GE(r2, 0);
    EXPECT_LE(r2, 255);
    uLAN_End();
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(TmexBranch, ApplySpeedFollowsTheDriverItemAndOption)
{
    struct Row {
        const char* name;
        bool ds9097u;
        int option;
        int frame;
        std::string mode;
        std::string speedEvents;
    };
    const Row rows[] = {
        {"relaxed", true, 1, 1, "Relaxed", "S2"},
        {"normal", true, 0, 1, "Normal", "S0"},
        {"other_driver", false, 1, 0, "(unchanged)", ""},
    };
    for (const Row& r : rows) {
        window.ds9097u = r.ds9097u;
        window.option = r.option;
        window.frame = -1;
        window.mode = "(unchanged)";
        net.clearTranscript();
        step();
        EXPECT_EQ(window.frame, r.frame) << r.name;
        EXPECT_EQ(window.mode, r.mode) << r.name;
        std::string speeds;
        for (const auto& e : net.transcript())
            if (e.kind == platform::sim::BusEvent::SpeedChange)
                speeds += (speeds.empty() ? "S" : " S") + std::to_string(e.written);
        EXPECT_EQ(speeds, r.speedEvents) << r.name;
    }
}

TEST_F(TmexBranch, SetupRunsUntilItSucceedsOnce)
{
    step();
    step();
    EXPECT_EQ(backend->setups, 1);
    EXPECT_TRUE(deviceState().SetupDone);
    deviceState().SetupDone = false;  // the interface is set up again
    step();
    EXPECT_EQ(backend->setups, 2);
}
