#include "platform/adapters/ds2490.h"

#include "platform/base/clock.h"

namespace platform {

using namespace ds2490;

namespace {

constexpr std::size_t kFifo = 128;  // endpoint 2 and 3 buffers
constexpr Micros kPoll{1000};
constexpr Micros kIdleTimeout{2'000'000};

} // namespace

Ds2490Backend::Ds2490Backend(std::unique_ptr<UsbTransfer> usb) : usb_(std::move(usb)) {}

std::string Ds2490Backend::description() const { return "DS2490 USB adapter " + usb_->deviceName(); }

std::string Ds2490Backend::typeVersion(int) const
{
    return "Tedsmith DS2490 USB adapter driver 1.0";
}

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
    std::vector<std::uint8_t> results;
    if (!control(kControlCmd, kCtlResetDevice, 0) || !control(kModeCmd, kModPulseEnable, kPulseEnable5V | kPulseEnable12V) ||
        !control(kModeCmd, kModPullupDuration, 0) || !control(kModeCmd, kModProgramDuration, 60) ||
        !control(kModeCmd, kModSpeed, speed_ == 2 ? 1 : speed_ == 1 ? 2 : 0))
        return false;
    std::vector<std::uint8_t> packet;
    std::string why;
    ++traffic_.usbTransfers;
    if (!usb_->status(packet, why) || packet.size() < kResultsAt)
        return fail(why.empty() ? "no status from the adapter" : why);
    programVoltage_ = (packet[kStatusFlags] & kStatus12V) != 0;
    return true;
}

void Ds2490Backend::closeSession()
{
    if (usb_->isOpen() && pullup_)
        setStrongPullup(false);
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

bool Ds2490Backend::waitIdle(std::vector<std::uint8_t>& results)
{
    results.clear();
    Clock& c = clock();
    const TimePoint deadline = c.now() + kIdleTimeout;
    for (;;) {
        std::vector<std::uint8_t> packet;
        std::string why;
        ++traffic_.usbTransfers;
        if (!usb_->status(packet, why))
            return fail(why);
        if (packet.size() < kResultsAt)
            return fail("short status packet");
        for (std::size_t i = kResultsAt; i < packet.size(); ++i)
            if (packet[i] != kResultDeviceDetect)
                results.push_back(packet[i]);
        if ((packet[kStatusFlags] & kStatusIdle) != 0 && packet[kCommBufferStatus] == 0)
            return true;
        if (c.now() >= deadline)
            return fail("the adapter stays busy");
        c.pause(kPoll);
    }
}

bool Ds2490Backend::readBack(std::size_t n, std::vector<std::uint8_t>& data)
{
    std::string why;
    ++traffic_.usbTransfers;
    if (!usb_->bulkIn(n, data, why))
        return fail(why);
    if (data.size() != n)
        return fail("answer of " + std::to_string(data.size()) + " bytes, " + std::to_string(n) + " expected");
    return true;
}

ResetOutcome Ds2490Backend::resetPulse()
{
    std::vector<std::uint8_t> results;
    ++traffic_.roundTrips;
    if (!comm(kCommReset | kFlagF | kFlagNtf | kFlagD, speed_ == 2 ? 1 : speed_ == 1 ? 2 : 0) || !waitIdle(results))
        return ResetOutcome::Failed;
    for (std::uint8_t r : results) {
        if ((r & kResultShort) != 0)
            return ResetOutcome::Short;
        if ((r & kResultNoPresence) != 0)
            return ResetOutcome::NoPresence;
    }
    return ResetOutcome::Presence;
}

BusResult Ds2490Backend::bit(int b)
{
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    if (!comm(kCommBitIo | (b != 0 ? kFlagD : 0), 0) || !waitIdle(results) || !readBack(1, data))
        return {0, TMEX_PORT_NOT_EXIST};
    return {data[0] != 0 ? 1 : 0, 0};
}

BusResult Ds2490Backend::byte(int b)
{
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    if (!comm(kCommByteIo, b & 0xFF) || !waitIdle(results) || !readBack(1, data))
        return {0, TMEX_PORT_NOT_EXIST};
    return {data[0], 0};
}

BusResult Ds2490Backend::byteThenPullup(int b)
{
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> data;
    ++traffic_.roundTrips;
    // The unlimited pull-up keeps the adapter busy: its answer byte is there at once.
    if (!comm(kCommByteIo | kFlagSpu, b & 0xFF) || !readBack(1, data))
        return {0, TMEX_PORT_NOT_EXIST};
    pullup_ = true;
    return {data[0], 0};
}

int Ds2490Backend::block(std::uint8_t* data, std::size_t n)
{
    for (std::size_t first = 0; first < n; first += kFifo) {
        const std::size_t count = std::min(kFifo, n - first);
        std::vector<std::uint8_t> out(data + first, data + first + count);
        std::vector<std::uint8_t> results;
        std::vector<std::uint8_t> in;
        ++traffic_.roundTrips;
        if (!bulkOut(out) || !comm(kCommBlockIo, static_cast<int>(count)) || !waitIdle(results) || !readBack(count, in))
            return TMEX_PORT_NOT_EXIST;
        std::copy(in.begin(), in.end(), data + first);
    }
    return 0;
}

int Ds2490Backend::searchPass(int command, const std::array<std::uint8_t, 8>& preferred,
                              std::array<std::uint8_t, 8>& rom, std::array<std::uint8_t, 8>& discrepancies)
{
    rom.fill(0);
    discrepancies.fill(0);
    std::vector<std::uint8_t> results;
    std::vector<std::uint8_t> in;
    ++traffic_.roundTrips;
    // One node at most, search only (no access), with the discrepancy bits.
    if (!bulkOut(std::vector<std::uint8_t>(preferred.begin(), preferred.end())) ||
        !comm(kCommSearchAccess | kFlagD | kFlagRts | kFlagF | kFlagNtf, 0x0100 | (command & 0xFF)) ||
        !waitIdle(results))
        return TMEX_PORT_NOT_EXIST;
    for (std::uint8_t r : results) {
        if ((r & kResultShort) != 0)
            return TMEX_PORT_NOT_EXIST;
        if ((r & kResultNoPresence) != 0)
            return 1;
    }
    if (!readBack(16, in))
        return TMEX_PORT_NOT_EXIST;
    std::copy_n(in.begin(), 8, rom.begin());
    std::copy_n(in.begin() + 8, 8, discrepancies.begin());
    return 0;
}

void Ds2490Backend::setStrongPullup(bool on)
{
    if (on == pullup_)
        return;
    std::vector<std::uint8_t> results;
    ++traffic_.roundTrips;
    if (on) {
        if (comm(kCommPulse | kFlagF, 0))
            pullup_ = true;
        return;
    }
    pullup_ = false;
    if (control(kControlCmd, kCtlHaltExeIdle, 0) && control(kControlCmd, kCtlResumeExe, 0))
        waitIdle(results);
}

bool Ds2490Backend::programPulse()
{
    if (!programVoltage_)
        return false;
    std::vector<std::uint8_t> results;
    ++traffic_.roundTrips;
    if (!comm(kCommPulse | kFlagD | kFlagF | kFlagNtf, 0) || !waitIdle(results))
        return false;
    return results.empty() || results.back() == 0;
}

void Ds2490Backend::setSpeed(int speed)
{
    if (speed < 0 || speed > 2 || speed == speed_)
        return;
    speed_ = speed;
    if (usb_->isOpen())
        control(kModeCmd, kModSpeed, speed == 2 ? 1 : speed == 1 ? 2 : 0);
}

} // namespace platform
