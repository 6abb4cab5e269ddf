#include "platform/adapters/ds2490backend.h"

#include "platform/base/clock.h"

namespace platform {

using namespace ds2490;

namespace {

constexpr std::size_t kFifo = 128;  // endpoint 2 and 3 buffers
constexpr Micros kPoll{1000};       // while the adapter is still busy after the time it needs
constexpr Micros kIdleTimeout{2'000'000};
// Programming pulse: 60 x 8 us.
constexpr int kProgramCode = 60;
constexpr Micros kProgramTime{480};

int speedCode(int speed) { return speed == 2 ? 1 : speed == 1 ? 2 : 0; }

bool has(const std::vector<std::uint8_t>& results, int bit)
{
    for (std::uint8_t r : results)
        if ((r & bit) != 0)
            return true;
    return false;
}

} // namespace

Ds2490Backend::Ds2490Backend(std::unique_ptr<UsbTransfer> usb) : usb_(std::move(usb)) {}

std::string Ds2490Backend::description() const { return "DS2490 USB adapter " + usb_->deviceName(); }

std::string Ds2490Backend::typeVersion(int) const
{
    return "Tedsmith DS2490 USB adapter driver 1.0";
}

Micros Ds2490Backend::slotTime() const { return speed_ == 1 ? Micros(10) : speed_ == 2 ? Micros(72) : Micros(65); }

Micros Ds2490Backend::resetTime() const { return speed_ == 1 ? Micros(120) : Micros(1100); }

bool Ds2490Backend::fail(const std::string& why)
{
    error_ = "DS2490 USB adapter " + usb_->deviceName() + ": " + why;
    usb_->close();
    pullup_ = false;
    return false;
}

int Ds2490Backend::openSession()
{
    if (usb_->isOpen())
        return 1;
    std::string why;
    if (!usb_->open(why)) {
        error_ = "DS2490 USB adapter: " + why;
        return TMEX_PORT_NOT_EXIST;
    }
    error_.clear();
    return start() ? 1 : TMEX_PORT_NOT_EXIST;
}

bool Ds2490Backend::start()
{
    pullup_ = false;
    // The strong pull-up enabled and infinite (ended by halt); the programming pulse
    // 480 us, enabled only around a pulse.
    if (!control(kControlCmd, kCtlResetDevice, 0) || !control(kModeCmd, kModPulseEnable, kPulseEnablePullup) ||
        !control(kModeCmd, kModPullupDuration, 0) || !control(kModeCmd, kModProgramDuration, kProgramCode) ||
        !control(kModeCmd, kModSpeed, speedCode(speed_)))
        return false;
    std::vector<std::uint8_t> packet;
    std::vector<std::uint8_t> results;
    if (!status(packet, results))
        return false;
    programVoltage_ = (packet[kStatusFlags] & kStatus12V) != 0;
    return true;
}

void Ds2490Backend::closeSession()
{
    if (usb_->isOpen() && pullup_)
        pullupLevel(false);
}

void Ds2490Backend::releasePort()
{
    usb_->close();
    pullup_ = false;
}

bool Ds2490Backend::control(int request, int value, int index)
{
    if (!usb_->isOpen())
        return fail("the adapter is not open");
    std::string why;
    ++traffic_.usbTransfers;
    return usb_->control(request, value, index, why) || fail(why);
}

bool Ds2490Backend::bulkOut(const std::vector<std::uint8_t>& data)
{
    std::string why;
    ++traffic_.usbTransfers;
    return usb_->bulkOut(data, why) || fail(why);
}

bool Ds2490Backend::status(std::vector<std::uint8_t>& packet, std::vector<std::uint8_t>& results)
{
    std::string why;
    ++traffic_.usbTransfers;
    if (!usb_->status(packet, why))
        return fail(why.empty() ? "no status from the adapter" : why);
    if (packet.size() < kResultsAt)
        return fail("short status packet");
    for (std::size_t i = kResultsAt; i < packet.size(); ++i)
        if (packet[i] != kResultDeviceDetect)
            results.push_back(packet[i]);
    return true;
}

bool Ds2490Backend::waitIdle(Micros busy, std::vector<std::uint8_t>& results, std::vector<std::uint8_t>* last)
{
    results.clear();
    Clock& c = clock();
    // No status read before the bus can be done: the adapter reports the end, it does
    // not need to be asked every millisecond.
    if (busy > Micros(0))
        c.pause(busy);
    const TimePoint deadline = c.now() + kIdleTimeout;
    for (;;) {
        std::vector<std::uint8_t> packet;
        if (!status(packet, results))
            return false;
        if ((packet[kStatusFlags] & kStatusIdle) != 0 && packet[kCommBufferStatus] == 0) {
            if (last)
                *last = std::move(packet);
            return true;
        }
        if (c.now() >= deadline)
            return fail("the adapter stays busy");
        c.pause(kPoll);
    }
}

bool Ds2490Backend::readBack(std::size_t n, std::vector<std::uint8_t>& data, Micros busy)
{
    Clock& c = clock();
    if (busy > Micros(0))
        c.pause(busy);
    data.clear();
    const TimePoint deadline = c.now() + kIdleTimeout;
    for (;;) {
        std::string why;
        std::vector<std::uint8_t> part;
        ++traffic_.usbTransfers;
        if (!usb_->bulkIn(n - data.size(), part, why))
            return fail(why);
        data.insert(data.end(), part.begin(), part.end());
        if (data.size() >= n)
            break;
        if (c.now() >= deadline)
            return fail("answer of " + std::to_string(data.size()) + " bytes, " + std::to_string(n) + " expected");
        c.pause(kPoll);
    }
    if (data.size() > n)
        return fail("answer of " + std::to_string(data.size()) + " bytes, " + std::to_string(n) + " expected");
    return true;
}

ResetOutcome Ds2490Backend::resetPulse()
{
    std::vector<std::uint8_t> results;
    ++traffic_.roundTrips;
    if (!comm(kCommReset | kFlagF | kFlagNtf, 0) || !waitIdle(resetTime(), results))
        return ResetOutcome::Failed;
    if (has(results, kResultShort))
        return ResetOutcome::Short;
    if (has(results, kResultNoPresence))
        return ResetOutcome::NoPresence;
    return ResetOutcome::Presence;
}

BusResult Ds2490Backend::bit(int b)
{
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    if (!comm(kCommBitIo | (b != 0 ? kFlagD : 0), 0) || !readBack(1, data, slotTime()))
        return {0, TMEX_PORT_NOT_EXIST};
    return {data[0] != 0 ? 1 : 0, 0};
}

BusResult Ds2490Backend::byte(int b)
{
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    if (!comm(kCommByteIo, b & 0xFF) || !readBack(1, data, slotTime() * 8))
        return {0, TMEX_PORT_NOT_EXIST};
    return {data[0], 0};
}

BusResult Ds2490Backend::byteThenPullup(int b)
{
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    // The infinite pull-up keeps the adapter busy; the byte's answer is there at its end.
    if (!comm(kCommByteIo | kFlagSpu, b & 0xFF) || !readBack(1, data, slotTime() * 8))
        return {0, TMEX_PORT_NOT_EXIST};
    pullup_ = true;
    return {data[0], 0};
}

int Ds2490Backend::blockChunk(std::uint8_t* data, std::size_t n, bool reset, bool pullup)
{
    std::vector<std::uint8_t> out(data, data + n);
    std::vector<std::uint8_t> in;
    ++traffic_.roundTrips;
    const Micros busy = (reset ? resetTime() : Micros(0)) + slotTime() * static_cast<int>(8 * n);
    // BLOCK I/O reports no result codes, so its own RST would hide a missing presence: the
    // reset is a 1-WIRE RESET queued ahead of it.
    if (!bulkOut(out) || (reset && !comm(kCommReset, 0)) ||
        !comm(kCommBlockIo | (pullup ? kFlagSpu : 0), static_cast<int>(n)))
        return TMEX_PORT_NOT_EXIST;
    if (reset) {
        // The status after the bus time tells whether a node answered the reset.
        std::vector<std::uint8_t> results;
        std::vector<std::uint8_t> packet;
        clock().pause(busy);
        if (!status(packet, results))
            return TMEX_PORT_NOT_EXIST;
        if (has(results, kResultShort) || has(results, kResultNoPresence)) {
            // The block ran all the same: its pull-up is ended, its answer taken away.
            const int code = has(results, kResultShort) ? TMEX_BUS_SHORT : 1;
            pullup_ = pullup_ || pullup;
            if ((pullup_ && pullupLevel(false) < 0) || !waitIdle(Micros(0), results, &packet) ||
                (packet[kDataInStatus] > 0 && !readBack(packet[kDataInStatus], in)))
                return TMEX_PORT_NOT_EXIST;
            return code;
        }
        if (!readBack(n, in))
            return TMEX_PORT_NOT_EXIST;
    } else if (!readBack(n, in, busy)) {
        return TMEX_PORT_NOT_EXIST;
    }
    std::copy(in.begin(), in.end(), data);
    if (pullup)
        pullup_ = true;
    return 0;
}

int Ds2490Backend::block(std::uint8_t* data, std::size_t n)
{
    for (std::size_t first = 0; first < n; first += kFifo)
        if (const int r = blockChunk(data + first, std::min(kFifo, n - first), false, false); r != 0)
            return r;
    return 0;
}

int Ds2490Backend::sequence(std::vector<BusStep>& steps)
{
    if (pullup_ && pullupLevel(false) < 0)
        return TMEX_PORT_NOT_EXIST;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const bool reset = steps[i].kind == BusStep::Kind::Reset;
        if (reset && (i + 1 == steps.size() || steps[i + 1].kind != BusStep::Kind::Bytes ||
                      steps[i + 1].data.empty())) {
            if (const int code = resetFailureCode(resetPulse()); code != 0)
                return code;
            continue;
        }
        if (reset)
            ++i;  // the reset goes with the block that follows it
        // Consecutive byte steps travel as one stream; the pull-up after the last.
        std::vector<std::uint8_t> stream;
        const std::size_t from = i;
        for (; i < steps.size() && steps[i].kind == BusStep::Kind::Bytes; ++i) {
            stream.insert(stream.end(), steps[i].data.begin(), steps[i].data.end());
            if (steps[i].pullupAfter)
                break;
        }
        const bool pullup = i < steps.size() && steps[i].pullupAfter;
        const std::size_t to = pullup ? i + 1 : i;
        for (std::size_t first = 0; first < stream.size(); first += kFifo) {
            const std::size_t n = std::min(kFifo, stream.size() - first);
            const bool last = first + n == stream.size();
            const int r = blockChunk(stream.data() + first, n, reset && first == 0, pullup && last);
            if (r < 0)
                return r;
            if (r == 1)
                return 1;
        }
        std::size_t at = 0;
        for (std::size_t k = from; k < to; ++k) {
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(at), steps[k].data.size(), steps[k].data.begin());
            at += steps[k].data.size();
        }
        i = to - 1;
    }
    return 0;
}

int Ds2490Backend::searchPass(int command, const std::array<std::uint8_t, 8>& preferred,
                              std::array<std::uint8_t, 8>& rom, std::array<std::uint8_t, 8>& discrepancies)
{
    rom.fill(0);
    discrepancies.fill(0);
    if (pullup_ && pullupLevel(false) < 0)
        return TMEX_PORT_NOT_EXIST;
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> packet;
    std::vector<std::uint8_t> in;
    ++traffic_.roundTrips;
    // A reset first (RST), one node at most, search only, with the discrepancy bits.
    const Micros busy = resetTime() + slotTime() * (8 + 64 * 3);
    if (!bulkOut(std::vector<std::uint8_t>(preferred.begin(), preferred.end())) ||
        !comm(kCommSearchAccess | kFlagRst | kFlagSm | kFlagRts | kFlagF | kFlagNtf, 0x0100 | (command & 0xFF)) ||
        !waitIdle(busy, results, &packet))
        return TMEX_PORT_NOT_EXIST;
    if (has(results, kResultShort))
        return TMEX_BUS_SHORT;
    const std::size_t waiting = packet[kDataInStatus];
    if (has(results, kResultNoPresence) || waiting == 0)
        return 1;
    // 8 bytes for the ROM id found; 8 discrepancy bytes more only while devices remain.
    if (waiting != 8 && waiting != 16) {
        fail("search answer of " + std::to_string(waiting) + " bytes");
        return TMEX_PORT_NOT_EXIST;
    }
    if (!readBack(waiting, in))
        return TMEX_PORT_NOT_EXIST;
    std::copy_n(in.begin(), 8, rom.begin());
    if (waiting == 16)
        std::copy_n(in.begin() + 8, 8, discrepancies.begin());
    return 0;
}

int Ds2490Backend::pullupLevel(bool on)
{
    if (on == pullup_)
        return on ? 1 : 0;
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> packet;
    ++traffic_.roundTrips;
    if (on) {
        if (!comm(kCommPulse, 0) || !status(packet, results))
            return TMEX_PORT_NOT_EXIST;
        pullup_ = (packet[kStatusFlags] & kStatusPullupActive) != 0;
        return pullup_ ? 1 : 0;
    }
    // An infinite pull-up ends with a halt; resume lets the next commands run.
    if (!control(kControlCmd, kCtlHaltExeIdle, 0) || !control(kControlCmd, kCtlResumeExe, 0))
        return TMEX_PORT_NOT_EXIST;
    if (!waitIdle(Micros(0), results, &packet)) {
        if (error_.find("stays busy") != std::string::npos)
            error_ = "DS2490 USB adapter " + usb_->deviceName() + ": the strong pull-up did not end";
        return TMEX_PORT_NOT_EXIST;
    }
    if ((packet[kStatusFlags] & kStatusPullupActive) != 0) {
        fail("the strong pull-up did not end");
        return TMEX_PORT_NOT_EXIST;
    }
    pullup_ = false;
    return 0;
}

bool Ds2490Backend::programPulse()
{
    if (!programVoltage_)
        return false;
    if (pullup_ && pullupLevel(false) < 0)
        return false;
    std::vector<std::uint8_t> results;
    ++traffic_.roundTrips;
    // 12 V enabled only for the pulse.
    if (!control(kModeCmd, kModPulseEnable, kPulseEnablePullup | kPulseEnableProgram) ||
        !comm(kCommPulse | kFlagType12V | kFlagF | kFlagNtf, 0) || !waitIdle(kProgramTime, results) ||
        !control(kModeCmd, kModPulseEnable, kPulseEnablePullup))
        return false;
    return !has(results, kResultNoProgramVoltage) && (results.empty() || results.back() == 0);
}

void Ds2490Backend::setSpeed(int speed)
{
    if (speed < 0 || speed > 2 || speed == speed_)
        return;
    speed_ = speed;
    if (usb_->isOpen())
        control(kModeCmd, kModSpeed, speedCode(speed));
}

} // namespace platform
