// Memory jobs over each real adapter backend and its emulator while the bus fails under
// them: the node leaving at any point of a write, the line shorted at any moment of a
// read or write, the adapter going silent. A write is reported done only when the node
// holds the image; a short is told once, as a short.

#include "device/drivers/memorynode.h"
#include "device/drivers/thermometer.h"
#include "device/onewire/tmexerror.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"
#include "tests/device/drivers/driverfixture.h"

#include <algorithm>

namespace drivertest {
namespace {

using platform::emu::AdapterKind;
using platform::sim::SimDs2433;

class AdapterFaults : public DriverFixture {
protected:
    bool emulated() const { return adapter.kind != AdapterKind::Simulated; }
    void setShorted(bool on)
    {
        if (adapter.serialEmu)
            adapter.serialEmu->setShorted(on);
        else if (adapter.ds2490)
            adapter.ds2490->setShorted(on);
    }
    void setSilent(bool on)
    {
        if (adapter.serialEmu)
            adapter.serialEmu->setSilent(on);
        else if (adapter.ds2490)
            adapter.ds2490->setSilent(on);
    }
    int shortMessages() const
    {
        int n = 0;
        for (const auto& p : box.prompts())
            if (p.find("short circuit") != std::string::npos)
                ++n;
        return n;
    }
    // Calls f once, when the virtual clock has passed `after` from now.
    int at(platform::Micros after, std::function<void()> f)
    {
        const auto when = clock.now() + after;
        auto fired = std::make_shared<bool>(false);
        return clock.addObserver([when, fired, f = std::move(f)](platform::TimePoint now) {
            if (!*fired && now >= when) {
                *fired = true;
                f();
            }
        });
    }
};

// The node leaves at a slot anywhere in a two-page write: the write is reported done only
// when the node's memory holds the whole image.
TEST_F(AdapterFaults, NodeLeavingAnywhereInAWriteIsNeverReportedWritten)
{
    auto& node = add<SimDs2433>(0x23, 0x7701);
    core::TedsBuf tb = image(node, false);
    for (std::uint64_t slot : {5ULL, 70ULL, 200ULL, 400ULL, 700ULL, 1000ULL, 1500ULL, 2200ULL, 3000ULL, 4000ULL,
                               6000ULL, 9000ULL}) {
        SCOPED_TRACE("node leaves after slot " + std::to_string(slot));
        std::fill(node.memory().begin(), node.memory().end(), 0x00);
        node.setConnected(true);
        node.faults().vanishAfterSlots = slot;
        core::TedsBuf copy = tb;
        bool confirmed = true;
        device::WriteReport report;
        const bool ok = device::Write_Node(copy, confirmed, &report);
        node.faults().vanishAfterSlots.reset();
        node.setConnected(true);
        core::TedsBuf check = blank(node);
        device::Read_Node(check, false);
        if (ok) {
            EXPECT_EQ(tedsBytes(check), tedsBytes(tb)) << "reported written, the node holds something else";
        }
        EXPECT_LT(clock.elapsed(), std::chrono::minutes(10));
    }
}

// The line is shorted at some moment of a write, and freed again later: the write fails
// (nothing reported written that the node does not hold) and the short is told once.
TEST_F(AdapterFaults, ShortDuringAWriteFailsItAndIsToldOnce)
{
    if (!emulated())
        GTEST_SKIP() << "the shorted line is a knob of the adapter emulators";
    auto& node = add<SimDs2433>(0x23, 0x7702);
    const core::TedsBuf tb = image(node, false);
    for (int ms : {0, 2, 5, 12, 25, 40, 80, 150}) {
        SCOPED_TRACE("short after " + std::to_string(ms) + " ms");
        std::fill(node.memory().begin(), node.memory().end(), 0x00);
        device::Bus_Working();
        box.clear();
        const int id = at(std::chrono::milliseconds(ms), [this] { setShorted(true); });
        core::TedsBuf copy = tb;
        bool confirmed = true;
        const bool ok = device::Write_Node(copy, confirmed);
        clock.removeObserver(id);
        setShorted(false);
        core::TedsBuf check = blank(node);
        device::Read_Node(check, false);
        if (ok) {
            EXPECT_EQ(tedsBytes(check), tedsBytes(tb));
        } else {
            // The short lasted to the end of the job: a reset of the job met it.
            EXPECT_EQ(shortMessages(), 1) << ::testing::PrintToString(box.prompts());
        }
    }
}

TEST_F(AdapterFaults, WriteOnAShortedLineFailsWithTheShortMessageOnce)
{
    if (!emulated())
        GTEST_SKIP() << "the shorted line is a knob of the adapter emulators";
    auto& node = add<SimDs2433>(0x23, 0x7703);
    setShorted(true);
    for (int i = 0; i < 3; ++i) {
        core::TedsBuf copy = image(node, false);
        bool confirmed = true;
        EXPECT_FALSE(device::Write_Node(copy, confirmed));
    }
    EXPECT_EQ(shortMessages(), 1) << ::testing::PrintToString(box.prompts());
    EXPECT_NE(device::busFault(), "");
    setShorted(false);
}

TEST_F(AdapterFaults, ReadOnAShortedLineIsNoTeds)
{
    if (!emulated())
        GTEST_SKIP() << "the shorted line is a knob of the adapter emulators";
    auto& node = add<SimDs2433>(0x23, 0x7704);
    {
        core::TedsBuf tb = image(node, false);
        bool confirmed = true;
        ASSERT_TRUE(device::Write_Node(tb, confirmed));
    }
    const core::TedsBuf written = image(node, false);
    // How long a read takes on a working line.
    const auto from = clock.now();
    {
        core::TedsBuf tb = blank(node);
        device::Read_Node(tb, false);
        ASSERT_EQ(tb.Status, core::TedsStatusReadOk);
    }
    const auto took = std::chrono::duration_cast<platform::Micros>(clock.now() - from);
    for (int percent : {-1, 0, 5, 10, 20, 35, 50, 65, 80, 90, 95, 99}) {
        SCOPED_TRACE("short at " + std::to_string(percent) + " % of the read");
        int id = 0;
        if (percent < 0)
            setShorted(true);
        else
            id = at(took * percent / 100, [this] { setShorted(true); });
        core::TedsBuf tb = blank(node);
        device::Read_Node(tb, false);
        if (id)
            clock.removeObserver(id);
        setShorted(false);
        // A read cut by the short is a checksum error or nothing read, never a TEDS read ok
        // with zeros in it.
        if (tb.Status == core::TedsStatusReadOk) {
            EXPECT_EQ(tedsBytes(tb), tedsBytes(written));
        }
    }
}

// The line is shorted while the thermometer's scratchpad is read: nine zero bytes carry a
// right CRC, but they are no reading.
TEST_F(AdapterFaults, ThermometerReadCutByAShortIsNoReading)
{
    if (!emulated())
        GTEST_SKIP() << "the shorted line is a knob of the adapter emulators";
    auto& t = add<platform::sim::SimThermometer>(0x10, 0x7706);
    t.setTemperature(23.5);
    // The reading itself, on a working line, to know how long it takes.
    const auto from = clock.now();
    const device::TemperatureReading good = device::Read_Temperature(t.rom().nodeId());
    const auto took = std::chrono::duration_cast<platform::Micros>(clock.now() - from);
    ASSERT_TRUE(good.ok);
    for (int back = 1; back <= 40; back += 1) {
        SCOPED_TRACE("short " + std::to_string(back) + " ms before the end of the reading");
        device::Bus_Working();
        box.clear();
        const int id = at(took - std::chrono::milliseconds(back), [this] { setShorted(true); });
        const device::TemperatureReading r = device::Read_Temperature(t.rom().nodeId());
        clock.removeObserver(id);
        setShorted(false);
        if (r.ok)
            EXPECT_EQ(r.celsius, good.celsius);
        EXPECT_EQ(adapter.protocolErrors().size(), 0u);
        adapter.clearProtocolErrors();
    }
}

// The adapter goes silent halfway through a write: the write fails in bounded time with
// a message that names the adapter's device, never as written.
TEST_F(AdapterFaults, AdapterGoingSilentDuringAWrite)
{
    if (!emulated())
        GTEST_SKIP() << "the silent adapter is a knob of the adapter emulators";
    auto& node = add<SimDs2433>(0x23, 0x7705);
    for (int ms : {0, 5, 20, 60}) {
        SCOPED_TRACE("silent after " + std::to_string(ms) + " ms");
        std::fill(node.memory().begin(), node.memory().end(), 0x00);
        const auto from = clock.elapsed();
        const int id = at(std::chrono::milliseconds(ms), [this] { setSilent(true); });
        core::TedsBuf copy = image(node, false);
        bool confirmed = true;
        const bool ok = device::Write_Node(copy, confirmed);
        clock.removeObserver(id);
        setSilent(false);
        EXPECT_LT(clock.elapsed() - from, std::chrono::minutes(2));
        core::TedsBuf check = blank(node);
        device::Read_Node(check, false);
        if (ok) {
            EXPECT_EQ(tedsBytes(check), tedsBytes(image(node, false)));
        }
    }
}

} // namespace
} // namespace drivertest
