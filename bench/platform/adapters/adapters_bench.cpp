// Round trips, serial bytes and USB transfers per driver job over each real adapter
// backend (talking to its emulator on virtual time), against the fewest the adapter's
// protocol allows for the same 1-Wire traffic. The jobs are the program's own: the
// drivers' reads and writes, the selection and the temperature read, through the 1-Wire
// access layer and the TMEX-like calls. The fewest is counted from the bus transcript of
// the job: what each reset, byte, search pass and pull-up costs at least on that adapter,
// with the mode switches that cannot be avoided. The DS2433 read over the DS2480B runs
// once more on the system clock: its wall time against the line time at 9600 baud.

#include "bench/support/patternimage.h"
#include "device/base/devicestate.h"
#include "device/drivers/fam23.h"
#include "device/drivers/fam2d.h"
#include "device/drivers/thermometer.h"
#include "device/memimage/memimage.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"
#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"
#include "tests/kit/virtualclock.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace platform;
using namespace platform::sim;
using platform::emu::AdapterKind;

namespace {

constexpr int kPort = 1;

// The driver item's port type of each adapter.
int portType(AdapterKind kind) { return kind == AdapterKind::PassiveSerial ? 1 : kind == AdapterKind::Ds2480b ? 5 : 6; }

struct Bench {
    VirtualClock virtualClock;
    std::optional<ScopedClock> scoped;
    std::shared_ptr<SimNetwork> net = std::make_shared<SimNetwork>();
    emu::EmulatedAdapter adapter;
    RomCode ds2433 = RomCode::make(0x23, 0x433);
    RomCode ds2431 = RomCode::make(0x2D, 0x431);
    RomCode thermometer = RomCode::make(0x10, 0x1820);

    // On virtual time unless realTime (then the system clock: wall time).
    explicit Bench(AdapterKind kind, bool realTime = false)
    {
        if (!realTime)
            scoped.emplace(virtualClock);
        resetTmex();
        device::resetDeviceState();
        device::resetOneWireState();
        device::DeviceState& ds = device::deviceState();
        ds.InterfaceType = device::InterfaceType::Adapter;
        ds.PortNum = kPort;
        ds.PortType = portType(kind);
        net->setTranscriptLimit(0);
        // Memory that holds data: a read of an erased node proves once more that it answers.
        auto a = std::make_shared<SimDs2433>(ds2433);
        for (std::size_t i = 0; i < a->memory().size(); ++i)
            a->memory()[i] = static_cast<std::uint8_t>(i * 13 + 5);
        net->addNode(a);
        net->addNode(std::make_shared<SimDs2431>(ds2431));
        auto t = std::make_shared<SimThermometer>(thermometer);
        t->setTemperature(23.5);
        net->addNode(t);
        adapter = emu::serveEmulated(kind, net, portType(kind), kPort);
    }
    ~Bench() { resetTmex(); }
};

struct Cost {
    long roundTrips = 0;
    long serialBytes = 0;
    long usbTransfers = 0;
};

// The fewest an adapter needs for the bus traffic of a job.
Cost fewest(AdapterKind kind, const std::vector<BusEvent>& tr)
{
    Cost c;
    bool data = false;  // DS2480B mode
    std::size_t i = 0;
    while (i < tr.size()) {
        const BusEvent& e = tr[i];
        if (kind == AdapterKind::Ds2490 && e.kind == BusEvent::Reset && i + 194 <= tr.size() &&
            tr[i + 1].kind == BusEvent::Byte && tr[i + 2].kind == BusEvent::Bit && tr[i + 193].kind == BusEvent::Bit) {
            // Search access: reset, command and pass in one command; ROM out, status, ROM in.
            c.usbTransfers += 4;
            i += 194;
            continue;
        }
        // A run of 192 slots after Search ROM is a search pass.
        std::size_t bits = 0;
        while (i + bits < tr.size() && tr[i + bits].kind == BusEvent::Bit)
            ++bits;
        if (bits >= 192) {
            if (kind == AdapterKind::Ds2480b) {
                c.serialBytes += (data ? 1 : 2) + 1 + 32 + 1 + 1;  // [E3] on E1 16+16 E3 off
                data = false;
            } else if (kind == AdapterKind::PassiveSerial) {
                c.serialBytes += 192 * 2;
                c.roundTrips += 64;
            } else {
                c.usbTransfers += 3;  // preferred ROM out, command, ROM and discrepancies in
            }
            i += 192;
            continue;
        }
        if (bits == 8 && i + 8 < tr.size() && tr[i + 8].kind == BusEvent::StrongPullup) {
            // A byte with the pull-up after it.
            if (kind == AdapterKind::Ds2480b)
                c.serialBytes += (data ? 1 : 0) + 16 + 2;
            else if (kind == AdapterKind::Ds2490)
                c.usbTransfers += 3;  // byte command, answer, halt
            data = false;
            i += 9;
            continue;
        }
        switch (e.kind) {
        case BusEvent::Reset:
            c.serialBytes += kind == AdapterKind::Ds2480b ? (data ? 3 : 2) : 2;
            c.usbTransfers += 2;  // command, status with the presence result
            data = false;
            break;
        case BusEvent::Byte:
            if (kind == AdapterKind::Ds2490) {
                // A run of bytes is one block per 128: data out, command, data in.
                std::size_t run = 0;
                while (i + run < tr.size() && tr[i + run].kind == BusEvent::Byte)
                    ++run;
                c.usbTransfers += 3 * static_cast<long>((run + 127) / 128);
                i += run;
                continue;
            }
            if (kind == AdapterKind::Ds2480b) {
                c.serialBytes += (data ? 0 : 1) + 2;
                data = true;
            } else {
                c.serialBytes += 16;
            }
            break;
        case BusEvent::Bit:
            c.serialBytes += kind == AdapterKind::Ds2480b ? (data ? 3 : 2) : 2;
            data = false;
            c.usbTransfers += 2;
            break;
        case BusEvent::StrongPullup:
            if (kind == AdapterKind::Ds2490)
                c.usbTransfers += 1;
            break;
        default:
            break;
        }
        ++i;
    }
    return c;
}

enum class Kind { Read, Write, Other };

struct JobRow {
    const char* name;
    std::function<bool(Bench&)> run;  // true when the job succeeded
    // Exchanges whose content depends on an earlier answer, plus one: the search that
    // proves the node; per written page the scratchpad read back, the copy held for its
    // time, the completion byte with the page's read-back; the conversion held for its time.
    long fewestRoundTrips;
    Kind kind = Kind::Other;
};

constexpr double kSerialLimit = 1.20;  // DS2480B serial bytes against the fewest
constexpr long kReadWrites = 2;        // DS2480B host writes of a read job
constexpr double kWriteLimit = 1.5;    // DS2480B round trips of a write job against the fewest
constexpr double kUsbLimit = 2.0;      // DS2490 transfers against the fewest
constexpr long kSearchExtra = 2;       // passive search pass: one round trip per bit, plus these
constexpr double kLineLimit = 1.20;    // DS2433 read at 9600 baud: wall time against line time

// Runs the job once the adapter is started (once per program run: not part of a job);
// false when it failed. elapsed: the job's time on the clock in force; bus: its bus time.
bool timeJob(Bench& b, const JobRow& job, std::chrono::microseconds& elapsed, std::chrono::microseconds& bus)
{
    device::uLAN_SelectNode_Access(b.ds2433.nodeId());
    device::uLAN_End();
    b.net->clearTranscript();
    b.adapter.traffic->clear();
    if (b.adapter.serialEmu)
        b.adapter.serialEmu->clearCounters();
    if (b.adapter.ds2490)
        b.adapter.ds2490->clearCounters();
    const auto busBefore = b.net->busTime();
    const auto t0 = platform::clock().now();
    const bool ok = job.run(b);
    elapsed = std::chrono::duration_cast<std::chrono::microseconds>(platform::clock().now() - t0);
    bus = std::chrono::duration_cast<std::chrono::microseconds>(b.net->busTime() - busBefore);
    return ok;
}

// The job on the system clock, the emulated line at its real pace: its wall time against
// the line time at 9600 baud (full duplex: the longer of the two directions). Prints the
// line; false when the job failed or is over the limit.
bool wallTimeAgainstLine(AdapterKind kind, const JobRow& job)
{
    Bench b(kind, true);
    std::chrono::microseconds elapsed{0}, bus{0};
    const bool ok = timeJob(b, job, elapsed, bus);
    const AdapterTraffic& t = *b.adapter.traffic;
    const double line = static_cast<double>(std::max(t.bytesOut, t.bytesIn)) * 10.0 / 9600.0;
    const double wall = static_cast<double>(elapsed.count()) / 1e6;
    const bool slow = wall > kLineLimit * line;
    std::printf("%-8s %-13s wall time %.3f s against its line time %.3f s at 9600 baud: %.2fx (limit %.2fx)%s%s\n",
                emu::adapterKeyword(kind).c_str(), job.name, wall, line, line > 0 ? wall / line : 0.0, kLineLimit,
                ok ? "" : "  FAILED", slow ? "  OVER LIMIT" : "");
    return ok && !slow;
}

// Prints the job's line; false when the job failed or is over its limit.
bool runJob(AdapterKind kind, const JobRow& job)
{
    bool ok = false;
    bool over = false;
    {
        Bench b(kind);
        std::chrono::microseconds elapsed{0}, bus{0};
        ok = timeJob(b, job, elapsed, bus);
        const AdapterTraffic& t = *b.adapter.traffic;
        const Cost f = fewest(kind, b.net->transcript());
        const long bytes = t.bytesOut + t.bytesIn;
        const long fewestTrips =
            kind == AdapterKind::PassiveSerial ? std::max(job.fewestRoundTrips, f.roundTrips) : job.fewestRoundTrips;
        std::printf("%-8s %-13s round trips %5ld (fewest %4ld)", emu::adapterKeyword(kind).c_str(), job.name,
                    t.roundTrips, fewestTrips);
        if (kind == AdapterKind::Ds2480b && job.kind == Kind::Read)
            over = over || t.roundTrips > kReadWrites;
        if (kind == AdapterKind::Ds2480b && job.kind == Kind::Write)
            over = over || static_cast<double>(t.roundTrips) > kWriteLimit * static_cast<double>(fewestTrips);
        if (kind == AdapterKind::PassiveSerial && std::string(job.name) == "search pass")
            over = over || t.roundTrips > 64 + kSearchExtra;
        if (kind == AdapterKind::Ds2490) {
            const double ratio =
                f.usbTransfers ? static_cast<double>(t.usbTransfers) / static_cast<double>(f.usbTransfers) : 0.0;
            over = over || ratio > kUsbLimit;
            std::printf("  USB transfers %5ld (fewest %5ld, %.2fx)", t.usbTransfers, f.usbTransfers, ratio);
        } else {
            const double ratio = f.serialBytes ? static_cast<double>(bytes) / static_cast<double>(f.serialBytes) : 0.0;
            over = over || (kind == AdapterKind::Ds2480b && ratio > kSerialLimit);
            std::printf("  serial bytes %6ld (fewest %6ld, %.2fx)", bytes, f.serialBytes, ratio);
        }
        // The backend's own counts against what its emulator saw.
        bool miscounted = false;
        if (b.adapter.serialEmu) {
            const auto& e = b.adapter.serialEmu->counters();
            miscounted = e.roundTrips != t.roundTrips || e.bytesFromHost != t.bytesOut || e.bytesToHost != t.bytesIn;
            if (miscounted)
                std::printf("  [emulator: round trips %ld, bytes %ld out %ld in]", e.roundTrips, e.bytesFromHost,
                            e.bytesToHost);
        } else if (b.adapter.ds2490) {
            miscounted = b.adapter.ds2490->counters().total() != t.usbTransfers;
            if (miscounted)
                std::printf("  [emulator: USB transfers %ld]", b.adapter.ds2490->counters().total());
        }
        over = over || miscounted;
        std::printf("  bus %7.1f ms  job %8.1f ms%s%s\n", static_cast<double>(bus.count()) / 1000.0,
                    static_cast<double>(elapsed.count()) / 1000.0, ok ? "" : "  FAILED", over ? "  OVER LIMIT" : "");
    }
    // Once the virtual clock is gone.
    if (kind == AdapterKind::Ds2480b && std::string(job.name) == "DS2433 read")
        over = !wallTimeAgainstLine(kind, job) || over;
    return ok && !over;
}

} // namespace

int main()
{
    std::printf("Per driver job: exchanges with the adapter, serial bytes (both ways) or USB transfers, 1-Wire\n"
                "bus time and the job's time (virtual; the emulators keep the line's and the bus's pace). The DS2480B's\n"
                "serial bytes are held to %.2fx the fewest, its read jobs to %ld host writes and its write jobs\n"
                "to %.1fx the fewest round trips; the DS2490's USB transfers to %.1fx the fewest; a passive search\n"
                "pass to one round trip per bit (+%ld). A DS2433 read is the search, the reset and Match ROM, the\n"
                "read command, and the 512 bytes in one block; its wall time is measured on the system clock.\n",
                kSerialLimit, kReadWrites, kWriteLimit, kUsbLimit, kSearchExtra);
    const std::vector<JobRow> jobs = {
        {"selection",
         [](Bench& b) {
             const bool ok = device::uLAN_SelectNode_Access(b.ds2433.nodeId());
             device::uLAN_End();
             return ok;
         },
         1},
        {"DS2433 read",
         [](Bench& b) {
             device::MemImage mi;
             mi.RomId = b.ds2433.nodeId();
             device::Read_fam23(mi);
             return mi.ReadOK;
         },
         2, Kind::Read},
        {"search pass",
         [](Bench&) {
             bool found = false, done = false;
             std::string id;
             int family = 0;
             return device::uLAN_FindNext(found, done, id, family).value_or(false) && found;
         },
         1},
        {"DS2433 write",
         [](Bench& b) {
             device::MemImage mi = bench_support::patternImage(b.ds2433.nodeId(), 16, 32, 3);
             return device::Write_fam23(mi);
         },
         1 + 16 * 3, Kind::Write},
        {"DS2431 write",
         [](Bench& b) {
             device::MemImage mi = bench_support::patternImage(b.ds2431.nodeId(), 4, 32, 5);
             return device::Write_fam2D(mi);
         },
         1 + 16 * 3, Kind::Write},
        {"temperature",
         [](Bench& b) { return device::Read_Temperature(b.thermometer.nodeId()).ok; },
         3},
    };
    int failures = 0;
    for (AdapterKind kind : {AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490})
        for (const auto& j : jobs)
            failures += runJob(kind, j) ? 0 : 1;
    return failures == 0 ? 0 : 1;
}
