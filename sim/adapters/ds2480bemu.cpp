#include "sim/adapters/ds2480bemu.h"

namespace platform::emu {

namespace {
// Configuration parameter codes (DS2480B datasheet, Table 4).
enum Param { kPdsrc = 1, kPpd = 2, kSpud = 3, kW1lt = 4, kDso = 5, kLoad = 6, kRbr = 7 };
constexpr int kUnlimitedCode = 7;   // PPD and SPUD value code 111: no end of its own
constexpr int kForbiddenSpud = 6;   // Table 4 note: SPUD value code 110 must not be used
constexpr std::uint8_t kDataMode = 0xE1;
constexpr std::uint8_t kCommandMode = 0xE3;
constexpr std::uint8_t kTerminate = 0xF1;
// The pulse response byte after a single bit with strong pull-up: the Pulse command
// for a 5 V strong pull-up, bit 0 cleared as in every response.
constexpr std::uint8_t kBitPulseAnswer = 0xEC;
// Reset response: bits 7-6 set, bits 4-2 the chip revision, bits 1-0 the result.
constexpr std::uint8_t kResetAnswer = 0xCC;
enum ResetCode { kShorted = 0, kPresence = 1, kNoPresence = 3 };

Micros spudLength(int code)
{
    // Table 4, SPUD: 16.4, 65.5, 131, 262, 524, 1048 ms.
    static constexpr long long us[] = {16'400, 65'500, 131'000, 262'000, 524'000, 1'048'000};
    return Micros(us[code]);
}
} // namespace

Ds2480bEmu::Ds2480bEmu(std::shared_ptr<sim::SimNetwork> network) : SerialAdapterEmu(std::move(network)) { powerUp(); }

void Ds2480bEmu::powerUp()
{
    // DS2480B datasheet, Device Operation: after power-up or a master reset the chip is in
    // command mode at 9600 bps, waiting for the calibration reset command; the
    // configuration parameters take their power-on defaults (PPD 512 us, SPUD 524 ms,
    // the others value code 000).
    params_ = {};
    params_[kPpd] = 4;
    params_[kSpud] = 4;
    calibrated_ = false;
    dataMode_ = false;
    escape_ = false;
    accelerator_ = false;
    armed_ = false;
    buffer_.reset();
    if (unlimited_ == Pulse::Strong)
        bus().endPullup();
    unlimited_ = Pulse::None;
    bus().setSpeed(sim::Speed::Standard);
    dropOutput();
}

void Ds2480bEmu::onBreak(TimePoint at)
{
    // Device Operation: a break (start polarity in place of the stop bit) is a master reset.
    bus().setTime(at);
    powerUp();
    coreFree_ = at;
}

int Ds2480bEmu::chipBaud() const
{
    // Table 4, RBR: 9.6, 19.2, 57.6, 115.2 kbps.
    static constexpr int rates[] = {9600, 19200, 57600, 115200};
    return rates[params_[kRbr] & 3];
}

Micros Ds2480bEmu::strongPullupLength() const { return spudLength(params_[kSpud]); }

Micros Ds2480bEmu::programPulseLength() const
{
    // Table 4, PPD: 32 us doubling up to 2048 us.
    return Micros(32LL << params_[kPpd]);
}

void Ds2480bEmu::answer(std::uint8_t b, TimePoint ready) { send(b, ready, chipBaud()); }

void Ds2480bEmu::advance(TimePoint now)
{
    auto& in = incoming();
    while (!in.empty() && in.front().at <= now) {
        const Char c = in.front();
        in.pop_front();
        // The core finishes what it had before this character's stop bit came in.
        drain(c.at);
        received(c);
    }
    drain(now);
}

void Ds2480bEmu::drain(TimePoint until)
{
    while (buffer_) {
        if (unlimited_ != Pulse::None) {
            // The core looks at the buffer once the pulse has begun.
            const TimePoint at = std::max(buffer_->at, unlimitedStart_);
            if (at > until)
                return;
            const std::uint8_t b = buffer_->byte;
            buffer_.reset();
            duringPulse(b, at);
            continue;
        }
        if (coreFree_ > until)
            return;
        const Char b = *buffer_;
        buffer_.reset();
        execute(b.byte, std::max(coreFree_, b.at));
    }
}

void Ds2480bEmu::duringPulse(std::uint8_t b, TimePoint at)
{
    // Pulse Command, infinite duration: the pulse runs until the termination command.
    if (b == kTerminate)
        terminate(at);
    else
        protocolError("DS2480B: " + hex(b) + " sent during a pulse of infinite duration; only F1h ends it");
}

void Ds2480bEmu::received(const Char& c)
{
    // Device Operation: 8 data bits, no parity, one stop bit (two are allowed on TXD), at
    // the chip's rate; anything else is garbage to its UART.
    if (c.line.dataBits != 8 || c.line.parity != 'n' || c.line.baud != chipBaud()) {
        lost("DS2480B: " + hex(c.byte) + " sent at " + std::to_string(c.line.baud) + " baud, " +
             std::to_string(c.line.dataBits) + " data bits, parity " + std::string(1, c.line.parity) +
             " while the chip runs at " + std::to_string(chipBaud()) + " baud 8N1");
        return;
    }
    if (!calibrated_) {
        // Device Operation: the first byte after power-up or a master reset is a reset
        // command at 9600 bps, used only to calibrate the timing: no 1-Wire activity, no answer.
        if ((c.byte & 0xE3) != 0xC1 || c.line.baud != 9600)
            protocolError("DS2480B: " + hex(c.byte) + " after power-up or a break is no 1-Wire reset command "
                          "at 9600 bps for the timing calibration");
        calibrated_ = true;
        coreFree_ = c.at;
        return;
    }
    if (unlimited_ != Pulse::None && c.at >= unlimitedStart_ && !buffer_) {
        duringPulse(c.byte, c.at);
        return;
    }
    if (unlimited_ == Pulse::None && coreFree_ <= c.at && !buffer_) {
        execute(c.byte, c.at);
        return;
    }
    // Software Driver Examples: a 1-byte buffer holds the next byte while the previous one
    // is translated into 1-Wire activity; bytes sent faster than that are lost.
    if (!buffer_) {
        buffer_ = c;
        return;
    }
    lost("DS2480B: " + hex(c.byte) + " lost: it arrived while the receive buffer still held " + hex(buffer_->byte) +
         " (the host sent faster than the 1-Wire activity)");
}

void Ds2480bEmu::execute(std::uint8_t b, TimePoint start)
{
    bus().setTime(start);
    Micros took{0};
    if (dataMode_) {
        if (escape_) {
            // Data Mode: E3h switches to command mode; E3h twice sends E3h as data.
            escape_ = false;
            if (b == kCommandMode) {
                took = data(b, start);
            } else {
                dataMode_ = false;
                took = command(b, start);
            }
        } else if (b == kCommandMode) {
            escape_ = true;
        } else {
            took = data(b, start);
        }
    } else {
        took = command(b, start);
    }
    coreFree_ = start + took;
}

bool Ds2480bEmu::speedFrom(std::uint8_t b)
{
    // Communication Commands, bits 3-2 (SS): 00 standard, 01 flexible, 10 overdrive.
    switch ((b >> 2) & 3) {
    case 0: bus().setSpeed(sim::Speed::Standard); return true;
    case 1: bus().setSpeed(sim::Speed::Relaxed); return true;
    case 2: bus().setSpeed(sim::Speed::Overdrive); return true;
    default:
        protocolError("DS2480B: command " + hex(b) + " has the speed code 11, which is not defined");
        return false;
    }
}

Micros Ds2480bEmu::command(std::uint8_t b, TimePoint start)
{
    if ((b & 0x01) == 0) {
        protocolError("DS2480B: " + hex(b) + " in command mode is no command (bit 0 of every command is 1)");
        return Micros(0);
    }
    if ((b & 0x80) == 0)
        return configure(b, start);
    Micros took{0};
    switch ((b >> 5) & 3) {
    case 0: {
        // Single Bit: 100 V SS P 1. The answer repeats bits 7-2, the bit read in bits 1-0.
        if (!speedFrom(b))
            return took;
        const int read = bus().bit((b >> 4) & 1, took);
        answer(static_cast<std::uint8_t>((b & 0xFC) | (read != 0 ? 0x03 : 0x00)), start + took);
        // Single Bit with Strong Pullup: P = 1 starts the pull-up right after the slot, any
        // duration including infinite; a pulse response byte follows its end.
        if ((b & 0x02) != 0)
            took += pulse(Pulse::Strong, kBitPulseAnswer, start + took);
        return took;
    }
    case 1:
        // Search Accelerator Control: 101 H SS 0 1, no answer.
        if ((b & 0x02) != 0) {
            protocolError("DS2480B: search accelerator command " + hex(b) + " has bit 1 set");
            return took;
        }
        if (speedFrom(b))
            accelerator_ = (b & 0x10) != 0;
        return took;
    case 2: {
        // 1-Wire Reset: 110 x SS 0 1. The answer: 11, an undefined bit, the chip revision,
        // and the result (00 shorted, 01 presence, 10 alarming presence, 11 none).
        if ((b & 0x02) != 0) {
            protocolError("DS2480B: reset command " + hex(b) + " has bit 1 set");
            return took;
        }
        if (!speedFrom(b))
            return took;
        int code = kNoPresence;
        switch (bus().reset(took)) {
        case EmuBus::ResetResult::Presence: code = kPresence; break;
        case EmuBus::ResetResult::NoPresence: code = kNoPresence; break;
        case EmuBus::ResetResult::Short: code = kShorted; break;
        }
        bit5_ = !bit5_;
        answer(static_cast<std::uint8_t>(kResetAnswer | (bit5_ ? 0x20 : 0x00) | code), start + took);
        return took;
    }
    default:
        break;
    }
    if ((b & 0x0C) == 0x0C) {
        // Pulse: 111 T 11 Q 1. T selects 5 V strong pull-up or 12 V programming pulse, Q
        // arms the strong pull-up after every data byte; the answer follows the pulse's end.
        armed_ = (b & 0x02) != 0;
        return pulse((b & 0x10) != 0 ? Pulse::Program : Pulse::Strong, static_cast<std::uint8_t>(b & 0xFE), start);
    }
    if (b == kDataMode) {
        dataMode_ = true;
        return took;
    }
    if (b == kTerminate)
        protocolError("DS2480B: F1h (pulse termination) sent while no pulse runs");
    else
        protocolError("DS2480B: " + hex(b) + " is no command");
    return took;
}

Micros Ds2480bEmu::configure(std::uint8_t b, TimePoint start)
{
    // Configuration Commands (Table 5): 0 ppp vvv 1 writes value vvv into parameter ppp;
    // 0 000 ppp 1 reads parameter ppp. The answer (Table 6) repeats the command with bit 0
    // cleared, or for a read the value code in bits 3-1.
    const int param = (b >> 4) & 7;
    const int value = (b >> 1) & 7;
    if (param == 0) {
        if (value == 0) {
            protocolError("DS2480B: " + hex(b) + " reads parameter code 000, which does not exist");
            return Micros(0);
        }
        answer(static_cast<std::uint8_t>(params_[value] << 1), start);
        return Micros(0);
    }
    if (param == kSpud && value == kForbiddenSpud) {
        protocolError("DS2480B: SPUD value code 110 must not be used (Table 4)");
    } else if (param == kRbr && value >= 4) {
        protocolError("DS2480B: RBR value code " + std::to_string(value) + " inverts the RXD polarity");
    } else {
        params_[param] = value;
    }
    // A new rate applies from the answer on.
    answer(static_cast<std::uint8_t>(b & 0xFE), start);
    return Micros(0);
}

Micros Ds2480bEmu::data(std::uint8_t b, TimePoint start)
{
    if (accelerator_)
        return searchByte(b, start);
    // Data Mode: each byte becomes eight time slots; the answer is the byte read back.
    Micros took{0};
    const std::uint8_t read = bus().byte(b, took);
    answer(read, start + took);
    if (armed_) {
        // Pulse Command, arm bit: every byte is followed by a strong pull-up of the
        // configured duration. In data mode nothing could end an infinite one.
        if (params_[kSpud] == kUnlimitedCode) {
            protocolError("DS2480B: strong pull-up armed in data mode with SPUD infinite");
        } else {
            bus().pullup(strongPullupLength());
            took += strongPullupLength();
        }
    }
    return took;
}

Micros Ds2480bEmu::searchByte(std::uint8_t b, TimePoint start)
{
    // Search Accelerator: each byte covers four ROM bits, three slots each (read, read the
    // complement, write the direction). Host bits 1, 3, 5, 7 give the direction to take at
    // a discrepancy; the answer holds the discrepancy flags in bits 0, 2, 4, 6 and the
    // direction taken in bits 1, 3, 5, 7.
    Micros total{0};
    std::uint8_t out = 0;
    for (int k = 0; k < 4; ++k) {
        Micros took{0};
        const int bit = bus().bit(1, took);
        total += took;
        const int complement = bus().bit(1, took);
        total += took;
        int direction = (b >> (2 * k + 1)) & 1;
        int discrepancy = 1;
        if (bit != complement) {
            direction = bit;
            discrepancy = 0;
        }
        bus().bit(direction, took);
        total += took;
        out |= static_cast<std::uint8_t>((discrepancy << (2 * k)) | (direction << (2 * k + 1)));
    }
    answer(out, start + total);
    return total;
}

Micros Ds2480bEmu::pulse(Pulse kind, std::uint8_t response, TimePoint start)
{
    const int code = kind == Pulse::Strong ? params_[kSpud] : params_[kPpd];
    if (code == kUnlimitedCode) {
        // Pulse Command, infinite duration: only F1h ends it.
        unlimited_ = kind;
        unlimitedAnswer_ = response;
        unlimitedStart_ = start;
        if (kind == Pulse::Strong)
            bus().startPullup();
        return Micros(0);
    }
    const Micros length = kind == Pulse::Strong ? strongPullupLength() : programPulseLength();
    if (kind == Pulse::Strong)
        bus().pullup(length);
    else if (programVoltage_)  // Pulse Command: 12 V only with the supply at VPP
        bus().programPulse(length);
    answer(response, start + length);
    return length;
}

void Ds2480bEmu::terminate(TimePoint at)
{
    // Pulse Command: the termination command has no answer of its own; the pulse ends at
    // once and the pulse's response byte follows.
    bus().setTime(at);
    if (unlimited_ == Pulse::Strong)
        bus().endPullup();
    else if (programVoltage_)
        bus().programPulse(std::chrono::duration_cast<Micros>(at - unlimitedStart_));
    unlimited_ = Pulse::None;
    answer(unlimitedAnswer_, at);
    coreFree_ = at;
}

} // namespace platform::emu
