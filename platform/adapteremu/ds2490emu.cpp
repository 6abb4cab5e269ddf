#include "platform/adapteremu/ds2490emu.h"

#include "platform/adapters/ds2490.h"

namespace platform::emu {

using namespace platform::ds2490;

Ds2490Emu::Ds2490Emu(std::shared_ptr<sim::SimNetwork> network) : net_(std::move(network)) {}

bool Ds2490Emu::open(std::string& error)
{
    if (!present_) {
        error = "no USB device 04fa:2490 found";
        return false;
    }
    open_ = true;
    return true;
}

bool Ds2490Emu::check(std::string& error) const
{
    if (!present_) {
        error = "No such device (it may have been disconnected)";
        return false;
    }
    if (!open_) {
        error = "device not open";
        return false;
    }
    return true;
}

bool Ds2490Emu::control(int request, int value, int index, std::string& error)
{
    if (!check(error))
        return false;
    switch (request) {
    case kControlCmd:
        if (value == kCtlResetDevice) {
            endPulse();
            toDevice_.clear();
            toHost_.clear();
            results_.clear();
            net_->setSpeed(sim::Speed::Standard);
        } else if (value == kCtlHaltExeIdle) {
            endPulse();
        } else if (value == kCtlFlushComm) {
            results_.clear();
        }
        return true;
    case kModeCmd:
        if (value == kModSpeed)
            net_->setSpeed(index == 2 ? sim::Speed::Overdrive : index == 1 ? sim::Speed::Relaxed : sim::Speed::Standard);
        else if (value == kModPullupDuration)
            pullupCode_ = index & 0xFF;
        else if (value == kModProgramDuration)
            programCode_ = index & 0xFF;
        else if (value == kModPulseEnable)
            pulseEnable_ = index & 0xFF;
        else if (value == kModPulldownSlewRate && (index & 0xFF) > 7) {
            error = "pull-down slew rate code out of range";
            return false;
        }
        return true;
    case kCommCmd:
        if ((value & kFlagIm) != 0)
            communicate(value & ~kFlagIm, index);
        return true;
    default:
        error = "request not supported";
        return false;
    }
}

void Ds2490Emu::endPulse()
{
    if (pulseOn_) {
        pulseOn_ = false;
        net_->setStrongPullup(false);
    }
}

void Ds2490Emu::communicate(int value, int index)
{
    endPulse();
    const int command = value & 0x00F6;  // without the flags that share low bits
    const bool notify = (value & kFlagNtf) != 0;
    const auto pullupAfter = [&] {
        if ((value & kFlagSpu) == 0 || (pulseEnable_ & kPulseEnablePullup) == 0)
            return;
        if (pullupCode_ == 0) {
            net_->setStrongPullup(true);
            pulseOn_ = true;
        } else {
            net_->strongPullup(Micros(16'000LL * pullupCode_));
        }
    };
    switch (command) {
    case kCommReset & 0x00F6: {
        if ((value & kFlagD) != 0)
            net_->setSpeed(index == 2 ? sim::Speed::Overdrive : index == 1 ? sim::Speed::Relaxed : sim::Speed::Standard);
        const bool presence = net_->reset();
        if (shorted_)
            results_.push_back(kResultShort);
        else if (!presence)
            results_.push_back(kResultNoPresence);
        else if (notify)
            results_.push_back(0x00);
        break;
    }
    case kCommBitIo & 0x00F6:
        toHost_.push_back(static_cast<std::uint8_t>(shorted_ ? 0 : net_->touchBit((value & kFlagD) != 0 ? 1 : 0)));
        pullupAfter();
        break;
    case kCommByteIo & 0x00F6:
        toHost_.push_back(shorted_ ? 0 : net_->touchByte(static_cast<std::uint8_t>(index & 0xFF)));
        pullupAfter();
        break;
    case kCommBlockIo & 0x00F6:
        if ((value & kFlagRst) != 0) {
            const bool presence = net_->reset();
            if (shorted_ || !presence) {
                results_.push_back(shorted_ ? kResultShort : kResultNoPresence);
                toDevice_.clear();
                break;
            }
        }
        for (int i = 0; i < index && !toDevice_.empty(); ++i) {
            const std::uint8_t b = toDevice_.front();
            toDevice_.pop_front();
            toHost_.push_back(shorted_ ? 0 : net_->touchByte(b));
        }
        pullupAfter();
        break;
    case kCommPulse & 0x00F6:
        if ((value & kFlagD) != 0) {
            if (programVoltage_ && (pulseEnable_ & kPulseEnableProgram) != 0)
                net_->programPulse(Micros(8LL * programCode_));
            else
                results_.push_back(0x08);  // no programming voltage
        } else if ((pulseEnable_ & kPulseEnablePullup) == 0) {
            break;
        } else if (pullupCode_ == 0) {
            net_->setStrongPullup(true);
            pulseOn_ = true;
        } else {
            net_->strongPullup(Micros(16'000LL * pullupCode_));
        }
        break;
    case kCommSearchAccess & 0x00F6: {
        std::array<std::uint8_t, 8> preferred{};
        for (auto& p : preferred) {
            if (!toDevice_.empty()) {
                p = toDevice_.front();
                toDevice_.pop_front();
            }
        }
        // Without RST no reset precedes the Search ROM: nobody takes part.
        const bool presence = (value & kFlagRst) != 0 && net_->reset();
        if (shorted_ && (value & kFlagRst) != 0) {
            results_.push_back(kResultShort);
            break;
        }
        if (!presence) {
            results_.push_back(kResultNoPresence);
            break;
        }
        net_->touchByte(static_cast<std::uint8_t>(index & 0xFF));
        std::array<std::uint8_t, 8> rom{};
        std::array<std::uint8_t, 8> discrepancies{};
        for (int pos = 0; pos < 64; ++pos) {
            const int id = net_->touchBit(1);
            const int complement = net_->touchBit(1);
            if (id != 0 && complement != 0) {
                results_.push_back(kResultNoPresence);
                return;
            }
            const auto mask = static_cast<std::uint8_t>(1u << (pos % 8));
            int direction = id;
            if (id == complement) {
                discrepancies[static_cast<std::size_t>(pos / 8)] |= mask;
                direction = (preferred[static_cast<std::size_t>(pos / 8)] & mask) != 0 ? 1 : 0;
            }
            net_->touchBit(direction);
            if (direction != 0)
                rom[static_cast<std::size_t>(pos / 8)] |= mask;
        }
        toHost_.insert(toHost_.end(), rom.begin(), rom.end());
        // The discrepancy bytes only while more devices remain (a 0 taken at a discrepancy).
        bool more = false;
        for (std::size_t k = 0; k < 8; ++k)
            more = more || (discrepancies[k] & ~rom[k]) != 0;
        if ((value & kFlagRts) != 0 && more)
            toHost_.insert(toHost_.end(), discrepancies.begin(), discrepancies.end());
        if (notify)
            results_.push_back(0x00);
        break;
    }
    default:
        break;
    }
}

bool Ds2490Emu::bulkOut(const std::vector<std::uint8_t>& data, std::string& error)
{
    if (!check(error))
        return false;
    toDevice_.insert(toDevice_.end(), data.begin(), data.end());
    return true;
}

bool Ds2490Emu::bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error)
{
    if (!check(error))
        return false;
    data.clear();
    while (data.size() < n && !toHost_.empty()) {
        data.push_back(toHost_.front());
        toHost_.pop_front();
    }
    return true;
}

bool Ds2490Emu::status(std::vector<std::uint8_t>& packet, std::string& error)
{
    if (!check(error))
        return false;
    packet.assign(kResultsAt, 0);
    packet[1] = static_cast<std::uint8_t>(net_->speed() == sim::Speed::Overdrive ? 2 : net_->speed() == sim::Speed::Relaxed ? 1 : 0);
    packet[2] = static_cast<std::uint8_t>(pullupCode_);
    packet[kStatusFlags] = static_cast<std::uint8_t>((pulseOn_ ? 0x01 : kStatusIdle) | (programVoltage_ ? kStatus12V : 0));
    packet[12] = static_cast<std::uint8_t>(toDevice_.size());
    packet[13] = static_cast<std::uint8_t>(std::min<std::size_t>(toHost_.size(), 255));
    packet.insert(packet.end(), results_.begin(), results_.end());
    results_.clear();
    return true;
}

} // namespace platform::emu
