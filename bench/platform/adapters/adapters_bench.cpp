// Round trips, serial bytes and USB transfers per job over each real adapter backend
// (talking to its emulator on virtual time), against the fewest the adapter's protocol
// allows for the same 1-Wire traffic. The fewest is counted from the bus transcript of
// the job: what each reset, byte, search pass and pull-up costs at least on that
// adapter, with the mode switches that cannot be avoided.

#include "platform/adapteremu/emulatedadapter.h"
#include "platform/base/clock.h"
#include "platform/onewiresim/simscratcheeprom.h"
#include "platform/onewiresim/simthermometer.h"

#include <cstdio>
#include <functional>
#include <vector>

using namespace platform;
using namespace platform::sim;
using platform::emu::AdapterKind;

namespace {

constexpr std::int16_t kType = 5;
constexpr std::int16_t kPort = 1;

struct Bench {
    VirtualClock clock;
    ScopedClock scoped{clock};
    std::shared_ptr<SimNetwork> net = std::make_shared<SimNetwork>();
    emu::EmulatedAdapter adapter;
    TmexStateBuffer state;
    std::int32_t session = 0;
    RomCode ds2433 = RomCode::make(0x23, 0x433);
    RomCode ds2431 = RomCode::make(0x2D, 0x431);
    RomCode thermometer = RomCode::make(0x10, 0x1820);

    explicit Bench(AdapterKind kind)
    {
        resetTmex();
        net->setTranscriptLimit(0);
        net->addNode(std::make_shared<SimDs2433>(ds2433));
        net->addNode(std::make_shared<SimDs2431>(ds2431));
        auto t = std::make_shared<SimThermometer>(thermometer);
        t->setTemperature(23.5);
        net->addNode(t);
        adapter = emu::serveEmulated(kind, net, kType, kPort);
    }
    ~Bench() { resetTmex(); }

    bool select(const RomCode& rom)
    {
        session = TMExtendedStartSession(kPort, kType, 0);
        TmexRom r{};
        for (std::size_t i = 0; i < 8; ++i)
            r[i] = rom.bytes[i];
        TMRom(session, state, r);
        return TMAccess(session, state) == 1;
    }
    void block(std::vector<std::uint8_t> bytes) { TMBlockStream(session, bytes.data(), static_cast<std::int16_t>(bytes.size())); }
    void end() { TMEndSession(session); }

    // Write scratchpad, read it back, copy with the line held high for ms.
    void writeRow(int address, int size, int ms)
    {
        TMAccess(session, state);
        std::vector<std::uint8_t> w = {0x0F, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8)};
        for (int i = 0; i < size; ++i)
            w.push_back(static_cast<std::uint8_t>(address + i));
        block(w);
        TMAccess(session, state);
        std::vector<std::uint8_t> r(static_cast<std::size_t>(4 + size), 0xFF);
        r[0] = 0xAA;
        TMBlockStream(session, r.data(), static_cast<std::int16_t>(r.size()));
        TMAccess(session, state);
        TMOneWireLevel(session, 0, 1, TMEX_PRIME_AFTER_BYTE);
        block({0x55});
        block({r[1], r[2]});
        TMOneWireLevel(session, 0, 1, TMEX_PRIME_AFTER_BYTE);
        TMTouchByte(session, r[3]);
        clock.pause(std::chrono::milliseconds(ms));
        TMOneWireLevel(session, 0, 0, 0);
    }
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

struct JobRow {
    const char* name;
    std::function<void(Bench&)> run;
    long fewestRoundTrips;  // exchanges whose content depends on an earlier answer, plus one
};

void runJob(AdapterKind kind, const char* name, const std::function<void(Bench&)>& job, long fewestRoundTrips)
{
    Bench b(kind);
    // The adapter is started once per program run: not part of a job.
    b.select(b.ds2433);
    b.end();
    b.net->clearTranscript();
    b.adapter.traffic->clear();
    const auto busBefore = b.net->busTime();
    const auto t0 = b.clock.now();
    job(b);
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(b.clock.now() - t0);
    const AdapterTraffic& t = *b.adapter.traffic;
    const Cost f = fewest(kind, b.net->transcript());
    const long bytes = t.bytesOut + t.bytesIn;
    std::printf("%-8s %-14s round trips %5ld (fewest %4ld)", emu::adapterKeyword(kind).c_str(), name, t.roundTrips,
                kind == AdapterKind::PassiveSerial ? std::max(fewestRoundTrips, f.roundTrips) : fewestRoundTrips);
    if (kind == AdapterKind::Ds2490)
        std::printf("  USB transfers %5ld (fewest %5ld, %.2fx)", t.usbTransfers, f.usbTransfers,
                    f.usbTransfers ? static_cast<double>(t.usbTransfers) / static_cast<double>(f.usbTransfers) : 0.0);
    else
        std::printf("  serial bytes %6ld (fewest %6ld, %.2fx)", bytes, f.serialBytes,
                    f.serialBytes ? static_cast<double>(bytes) / static_cast<double>(f.serialBytes) : 0.0);
    std::printf("  bus %7.1f ms  job %8.1f ms\n", static_cast<double>((b.net->busTime() - busBefore).count()) / 1000.0,
                static_cast<double>(elapsed.count()) / 1000.0);
}

} // namespace

int main()
{
    std::printf("Per job: exchanges with the adapter, serial bytes (both ways) or USB transfers, 1-Wire bus\n"
                "time and the job's time on the line (the USB emulator answers at once).\n");
    const std::vector<JobRow> jobs = {
        {"selection", [](Bench& b) { b.select(b.ds2433); b.end(); }, 1},
        {"DS2433 read",
         [](Bench& b) {
             b.select(b.ds2433);
             std::vector<std::uint8_t> r(515, 0xFF);
             r[0] = 0xF0;
             r[1] = r[2] = 0;
             TMBlockStream(b.session, r.data(), static_cast<std::int16_t>(r.size()));
             b.end();
         },
         2},
        {"DS2433 write",
         [](Bench& b) {
             b.select(b.ds2433);
             for (int page = 0; page < 16; ++page)
                 b.writeRow(page * 32, 32, 5);
             b.end();
         },
         1 + 16 * 3},
        {"DS2431 write",
         [](Bench& b) {
             b.select(b.ds2431);
             for (int row = 0; row < 16; ++row)
                 b.writeRow(row * 8, 8, 10);
             b.end();
         },
         1 + 16 * 3},
        {"temperature",
         [](Bench& b) {
             b.select(b.thermometer);
             TMOneWireLevel(b.session, 0, 1, TMEX_PRIME_AFTER_BYTE);
             TMTouchByte(b.session, 0x44);
             b.clock.pause(std::chrono::milliseconds(750));
             TMOneWireLevel(b.session, 0, 0, 0);
             TMAccess(b.session, b.state);
             std::vector<std::uint8_t> r(10, 0xFF);
             r[0] = 0xBE;
             TMBlockStream(b.session, r.data(), 10);
             b.end();
         },
         3},
    };
    for (AdapterKind kind : {AdapterKind::PassiveSerial, AdapterKind::Ds2480b, AdapterKind::Ds2490})
        for (const auto& j : jobs)
            runJob(kind, j.name, j.run, j.fewestRoundTrips);
    return 0;
}
