#include "sim/adapters/ds2490emu.h"

#include "sim/adapters/ds2490codes.h"
#include "platform/base/clock.h"

#include <cstdio>

namespace platform::emu {

using namespace ds2490;

namespace {

// Appendix 2: the communication commands, byte 1 with bit 3 (the command's own flag) and
// IM cleared; the embedded bits each one defines; its parameter bytes in the command FIFO.
struct CommRow {
    std::uint8_t code;
    Ds2490Op op;
    std::uint16_t bits;
    int params;
    bool modelled;
    const char* name;
};
constexpr CommRow kComm[] = {
    {0x12, Ds2490Op::SetDuration, kIm | kBit3 | kIcp | kNtf, 1, true, "SET DURATION"},
    {0x20, Ds2490Op::BitIo, kIm | kBit3 | kIcp | kNtf | kSpu | kBit14, 0, true, "BIT I/O"},
    {0x30, Ds2490Op::Pulse, kIm | kBit3 | kIcp | kNtf | kF, 0, true, "PULSE"},
    {0x42, Ds2490Op::Reset, kIm | kBit3 | kIcp | kNtf | kF | kBit14, 1, true, "1-WIRE RESET"},
    {0x52, Ds2490Op::ByteIo, kIm | kIcp | kNtf | kSpu, 1, true, "BYTE I/O"},
    {0x64, Ds2490Op::MatchAccess, kIm | kBit3 | kIcp | kNtf | kRst, 2, true, "MATCH ACCESS"},
    {0x74, Ds2490Op::BlockIo, kIm | kIcp | kNtf | kSpu | kRst, 2, true, "BLOCK I/O"},
    {0x92, Ds2490Op::DoRelease, 0xFFFF, 2, false, "DO & RELEASE"},
    {0xA2, Ds2490Op::SetPath, 0xFFFF, 1, false, "SET PATH"},
    {0xB2, Ds2490Op::WriteSramPage, 0xFFFF, 1, false, "WRITE SRAM PAGE"},
    {0xC4, Ds2490Op::WriteEprom, 0xFFFF, 2, false, "WRITE EPROM"},
    {0xD4, Ds2490Op::ReadCrcProtPage, 0xFFFF, 2, false, "READ CRC PROT PAGE"},
    {0xE4, Ds2490Op::ReadRedirectPage, 0xFFFF, 2, false, "READ REDIRECT PAGE W/CRC"},
    {0xF4, Ds2490Op::SearchAccess, kIm | kBit3 | kIcp | kNtf | kF | kRst | kBit14, 2, true, "SEARCH ACCESS"},
};
// READ STRAIGHT: byte 1 is 1000 NTF ICP RST IM, byte 2 the preamble size, wIndex the
// block read size (three parameter bytes).
constexpr CommRow kReadStraight{0x80, Ds2490Op::ReadStraight, 0xFF0F, 3, true, "READ STRAIGHT"};

std::string hex4(int v)
{
    char text[12];
    std::snprintf(text, sizeof text, "%04Xh", v & 0xFFFF);
    return text;
}

constexpr Millis kTransferTimeout{1000};
constexpr Millis kPoll{1};
} // namespace

Ds2490Emu::Ds2490Emu(std::shared_ptr<sim::SimNetwork> network) : core_(std::move(network))
{
    core_.plugIn(clock().now());
}

void Ds2490Emu::setPresent(bool present)
{
    if (present && !present_)
        core_.plugIn(clock().now());
    if (!present)
        core_.powerUp(clock().now());  // no power: whatever ran is gone
    present_ = present;
}

bool Ds2490Emu::open(std::string& error)
{
    if (!present_) {
        error = "no USB device 04fa:2490 (DS2490) found";
        return false;
    }
    open_ = true;
    core_.run(clock().now());
    return true;
}

bool Ds2490Emu::check(std::string& error) const
{
    if (!present_) {
        error = deviceName() + ": no such device (it may have been disconnected)";
        return false;
    }
    if (!open_) {
        error = deviceName() + ": the device is not open";
        return false;
    }
    if (silent_) {
        error = deviceName() + ": transfer timed out";
        return false;
    }
    return true;
}

bool Ds2490Emu::stall(const std::string& what, std::string& error)
{
    // USB Communication: vendor commands the appendices do not define are answered with a
    // STALL.
    core_.error("DS2490: " + what);
    error = deviceName() + ": control transfer stalled (" + what + ")";
    return false;
}

template <class Ready, class Coming>
bool Ds2490Emu::await(Ready ready, Coming coming)
{
    // A bulk transfer the device cannot serve yet is NAKed until it can, or times out.
    for (Millis waited{0}; !ready(); waited += kPoll) {
        if (waited >= kTransferTimeout || !coming())
            return false;
        clock().pause(kPoll);
        core_.run(clock().now());
        if (!present_ || silent_)
            return false;
    }
    return true;
}

bool Ds2490Emu::control(int request, int value, int index, std::string& error)
{
    ++counters_.control;
    if (!check(error))
        return false;
    core_.run(clock().now());
    // Device Feedback, Note 1: while EP0F is set every setup packet but CTL_RESET_DEVICE is
    // discarded.
    if (ep0Full_ && !(request == kControlCmd && value == kResetDevice)) {
        core_.error("DS2490: request " + hex4(request) + "/" + hex4(value) + " discarded while EP0F is set");
        return true;
    }
    bool ok = false;
    switch (request) {
    case kControlCmd:
        ++counters_.controlCommands;
        ok = controlCommand(value, index, error);
        break;
    case kCommCmd:
        ++counters_.commCommands;
        ok = commCommand(value, index, error);
        break;
    case kModeCmd:
        ++counters_.modeCommands;
        ok = modeCommand(value, index, error);
        break;
    default: return stall("vendor request type " + hex4(request) + " is not defined", error);
    }
    core_.run(clock().now());
    return ok;
}

bool Ds2490Emu::controlCommand(int value, int index, std::string& error)
{
    // Appendix 1: control commands carry no parameter (wIndex 0000h).
    if (index != 0)
        core_.error("DS2490: control command " + hex4(value) + " with wIndex " + hex4(index) + ", not 0000h");
    const TimePoint now = clock().now();
    switch (value) {
    case kResetDevice:
        // Control Commands, RESET DEVICE: as a power-on reset; also clears EP0F.
        core_.powerUp(now);
        ep0Full_ = false;
        return true;
    case kStartExe: core_.startExecution(); return true;
    case kResumeExe: core_.resume(); return true;
    case kHaltExeIdle:
    case kHaltExeDone: core_.halt(now); return true;
    case kFlushCommCmds:
    case kFlushRcvBuffer:
    case kFlushXmtBuffer:
        // Control Commands, FLUSH ...: the DS2490 must be halted first.
        if (!core_.halted()) {
            core_.error("DS2490: flush control command " + hex4(value) + " while not halted");
            return true;
        }
        if (value == kFlushCommCmds)
            core_.flushCommands();
        else if (value == kFlushRcvBuffer)
            core_.flushReceived();
        else
            core_.flushSent();
        return true;
    case kGetCommCmds:
        core_.error("DS2490: GET COMM CMDS needs a data stage this transfer does not have");
        return true;
    default: return stall("control command " + hex4(value) + " is not defined", error);
    }
}

bool Ds2490Emu::modeCommand(int value, int index, std::string& error)
{
    // Mode Commands: processed at once; each parameter only within its codes.
    Ds2490Registers& r = core_.registers();
    auto range = [&](const char* name, int max) {
        if (index < 0 || index > max) {
            core_.error("DS2490: mode command " + std::string(name) + " with " + std::to_string(index) +
                        ", outside its codes 0-" + std::to_string(max));
            return false;
        }
        return true;
    };
    switch (value) {
    case kPulseEn:
        // ENABLE PULSE: two bits, the strong pull-up to 5 V and the 12 V programming pulse.
        if (range("ENABLE PULSE", kParamPrge | kParamSpue))
            r.enable = (r.enable & Ds2490Core::kEnableSpce) | ((index & kParamSpue) != 0 ? Ds2490Core::kEnableSpue : 0) |
                       ((index & kParamPrge) != 0 ? Ds2490Core::kEnablePrge : 0);
        return true;
    case kSpeedChangeEn:
        // ENABLE SPEED CHANGE: TRUE or FALSE.
        if (range("ENABLE SPEED CHANGE", 1))
            r.enable = (r.enable & ~Ds2490Core::kEnableSpce) | (index != 0 ? Ds2490Core::kEnableSpce : 0);
        return true;
    case kOneWireSpeed:
        // 1-WIRE SPEED: Table 6, 0x0-0x2; 0x3-0xF reserved.
        if (range("1-WIRE SPEED", 2))
            r.speed = index;
        return true;
    case kStrongPullupDuration:
        // STRONG PULLUP DURATION: Table 7, 0x00 (infinite) to 0xFE; 0xFF reserved.
        if (range("STRONG PULLUP DURATION", 0xFE))
            r.pullup = index;
        return true;
    case kPulldownSlewRate:
        // PULLDOWN SLEW RATE: eight rates, codes 0-7.
        if (range("PULLDOWN SLEW RATE", 7))
            r.slewRate = index;
        return true;
    case kProgPulseDuration:
        // PROG PULSE DURATION: Table 8, 0x00 (infinite) to 0xFE; 0xFF reserved.
        if (range("PROG PULSE DURATION", 0xFE))
            r.program = index;
        return true;
    case kWrite1LowTime:
        if (range("WRITE-1 LOW TIME", 7))
            r.write1Low = index;
        return true;
    case kDsoW0Recovery:
        if (range("DSOW0 RECOVERY TIME", 7))
            r.sampleOffset = index;
        return true;
    default: return stall("mode command " + hex4(value) + " is not defined", error);
    }
}

bool Ds2490Emu::commCommand(int value, int index, std::string& error)
{
    const std::uint8_t low = static_cast<std::uint8_t>(value & 0xFF);
    const CommRow* row = nullptr;
    if ((low & 0xF0) == 0x80) {
        row = &kReadStraight;
    } else {
        for (const CommRow& s : kComm)
            if ((low & 0xF6) == s.code)
                row = &s;
    }
    if (!row)
        return stall("communication command " + hex4(value) + " is not defined", error);
    // Appendix 2: only the embedded bits the command defines; the others are 0.
    if ((value & ~(row->code | row->bits) & 0xFFFF) != 0)
        return stall(std::string(row->name) + " " + hex4(value) + " sets embedded bits it does not define", error);
    if (!row->modelled) {
        core_.error("DS2490: " + std::string(row->name) + " is not modelled by this emulator");
        return true;
    }
    auto bad = [&](const std::string& why) {
        core_.error("DS2490: " + std::string(row->name) + " " + hex4(value) + "/" + hex4(index) + ": " + why);
        return true;
    };
    switch (row->op) {
    case Ds2490Op::SetDuration:
        if (index > 0xFE)
            return bad("duration outside 00h-FEh (FFh reserved)");
        break;
    case Ds2490Op::BitIo:
    case Ds2490Op::Pulse:
        if (index != 0)
            return bad("the command has no parameter");
        break;
    case Ds2490Op::Reset:
        if ((value & kBit3) != 0 && index > 2)
            return bad("new speed outside 0-2");
        break;
    case Ds2490Op::ByteIo:
        if (index > 0xFF)
            return bad("one data byte expected");
        break;
    case Ds2490Op::MatchAccess:
        // MATCH ACCESS: Match ROM (55h) or Overdrive Match ROM (69h), then the new speed.
        if ((index & 0xFF) != 0x55 && (index & 0xFF) != 0x69)
            return bad("match command is neither 55h nor 69h");
        if ((value & kBit3) != 0 && (index >> 8) > 2)
            return bad("new speed outside 0-2");
        break;
    case Ds2490Op::SearchAccess:
        // SEARCH ACCESS: Search ROM (F0h) or Conditional Search (ECh), then the number of devices.
        if ((index & 0xFF) != 0xF0 && (index & 0xFF) != 0xEC)
            return bad("search command is neither F0h nor ECh");
        break;
    default: break;
    }
    const int bytes = 2 + row->params;
    if (core_.commandBytes() + static_cast<std::size_t>(bytes) > Ds2490Core::kCommandFifo) {
        // Device Feedback, Note 1: a setup packet that finds the FIFO full is discarded,
        // EP0F is set until CTL_RESET_DEVICE.
        ep0Full_ = true;
        core_.error("DS2490: " + std::string(row->name) + " discarded, the command FIFO is full (EP0F set)");
        return true;
    }
    Ds2490Command c;
    c.op = row->op;
    c.value = static_cast<std::uint16_t>(value);
    c.index = static_cast<std::uint16_t>(index);
    c.fifoBytes = bytes;
    c.queued = clock().now();
    core_.queue(c);
    return true;
}

bool Ds2490Emu::bulkOut(const std::vector<std::uint8_t>& data, std::string& error)
{
    ++counters_.bulkOut;
    counters_.bulkOutBytes += static_cast<long>(data.size());
    if (!check(error))
        return false;
    core_.run(clock().now());
    // EP2 holds 128 bytes; more waits for the running command to take some.
    const auto fits = [&] { return core_.sentBytes() + data.size() <= Ds2490Core::kDataFifo; };
    if (!await(fits, [&] { return core_.sendDraining(); })) {
        if (!check(error))
            return false;
        core_.error("DS2490: " + std::to_string(data.size()) + " bytes for EP2 with " +
                    std::to_string(Ds2490Core::kDataFifo - core_.sentBytes()) + " free: the transfer timed out");
        error = deviceName() + ": bulk transfer to EP2 timed out";
        return false;
    }
    core_.send(data, clock().now());
    core_.run(clock().now());
    return true;
}

bool Ds2490Emu::bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error)
{
    ++counters_.bulkIn;
    data.clear();
    if (!check(error))
        return false;
    core_.run(clock().now());
    const auto ready = [&] { return core_.readyBytes(clock().now()) > 0; };
    if (!await(ready, [&] { return core_.receiveComing(clock().now()); })) {
        if (!check(error))
            return false;
        core_.error("DS2490: bulk read from EP3 with nothing in it and nothing to come");
        error = deviceName() + ": bulk transfer from EP3 timed out";
        return false;
    }
    data = core_.receive(n, clock().now());
    counters_.bulkInBytes += static_cast<long>(data.size());
    return true;
}

bool Ds2490Emu::status(std::vector<std::uint8_t>& packet, std::string& error)
{
    ++counters_.status;
    packet.clear();
    if (!check(error))
        return false;
    const TimePoint now = clock().now();
    core_.run(now);
    // Device Feedback, Table 16: the state registers, then Table 17 the result registers.
    const Ds2490Registers& r = core_.registers();
    packet.assign(16, 0);
    packet[0] = static_cast<std::uint8_t>(r.enable);
    packet[1] = static_cast<std::uint8_t>(r.speed);
    packet[2] = static_cast<std::uint8_t>(r.pullup);
    packet[3] = static_cast<std::uint8_t>(r.program);
    packet[4] = static_cast<std::uint8_t>(r.slewRate);
    packet[5] = static_cast<std::uint8_t>(r.write1Low);
    packet[6] = static_cast<std::uint8_t>(r.sampleOffset);
    std::uint8_t flags = 0;
    if (core_.pullupActive(now))
        flags |= kSpua;
    if (core_.programActive(now))
        flags |= kPrga;
    if (core_.programVoltage())
        flags |= k12vp;
    if (core_.halted())
        flags |= kHalt;
    if (core_.idle(now))
        flags |= kIdle;
    if (ep0Full_)
        flags |= kEp0f;
    packet[8] = flags;
    const std::uint16_t cur = core_.current(now);
    packet[9] = static_cast<std::uint8_t>(cur & 0xFF);
    packet[10] = static_cast<std::uint8_t>(cur >> 8);
    packet[11] = static_cast<std::uint8_t>(core_.commandBytes());
    packet[12] = static_cast<std::uint8_t>(core_.sentBytes());
    packet[13] = static_cast<std::uint8_t>(core_.readyBytes(now));
    for (std::uint8_t b : core_.takeResults(now))
        packet.push_back(b);
    return true;
}

} // namespace platform::emu
