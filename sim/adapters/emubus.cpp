#include "sim/adapters/emubus.h"

namespace platform::emu {

EmuBus::OnChipTime::OnChipTime(EmuBus& bus) : outer_(&platform::clock())
{
    bus.chipClock_.at = bus.time_ - bus.spent_;
    bus.chipClock_.outer = outer_;
    setClock(&bus.chipClock_);
}

EmuBus::OnChipTime::~OnChipTime() { setClock(outer_); }

void EmuBus::applySpeed()
{
    if (net_->speed() != speed_)
        net_->setSpeed(speed_);
}

void EmuBus::releaseNetworkPullup()
{
    // A pull-up that began on a working line ends on the network even when the line has
    // been shorted since (the network would count it on to the next bus event).
    if (!networkPullup_)
        return;
    networkPullup_ = false;
    OnChipTime t(*this);
    net_->setStrongPullup(false);
}

EmuBus::ResetResult EmuBus::reset(Micros& took)
{
    pullupOn_ = false;
    if (shorted_) {
        releaseNetworkPullup();
        // The line never comes back up: nothing on the bus sees the pulse end.
        took = sim::timingFor(speed_).resetPresence;
        time_ += took;
        return ResetResult::Short;
    }
    OnChipTime t(*this);
    applySpeed();
    const Micros before = net_->busTime();
    const bool presence = net_->reset();
    networkPullup_ = false;  // bus activity ends it
    took = net_->busTime() - before;
    time_ += took;
    spent_ += took;
    return presence ? ResetResult::Presence : ResetResult::NoPresence;
}

int EmuBus::bit(int value, Micros& took)
{
    pullupOn_ = false;
    if (shorted_) {
        releaseNetworkPullup();
        took = sim::timingFor(speed_).slot;
        time_ += took;
        return 0;
    }
    OnChipTime t(*this);
    applySpeed();
    const Micros before = net_->busTime();
    const int read = net_->touchBit(value != 0 ? 1 : 0);
    networkPullup_ = false;  // bus activity ends it
    took = net_->busTime() - before;
    time_ += took;
    spent_ += took;
    return read;
}

std::uint8_t EmuBus::byte(std::uint8_t value, Micros& took)
{
    pullupOn_ = false;
    if (shorted_) {
        releaseNetworkPullup();
        took = sim::timingFor(speed_).slot * 8;
        time_ += took;
        return 0;
    }
    OnChipTime t(*this);
    applySpeed();
    const Micros before = net_->busTime();
    const std::uint8_t read = net_->touchByte(value);
    networkPullup_ = false;  // bus activity ends it
    took = net_->busTime() - before;
    time_ += took;
    spent_ += took;
    return read;
}

void EmuBus::pullup(Micros length)
{
    if (!shorted_) {
        OnChipTime t(*this);
        net_->strongPullup(length);
        spent_ += length;
    }
    time_ += length;
}

void EmuBus::startPullup()
{
    pullupOn_ = true;
    if (!shorted_) {
        OnChipTime t(*this);
        net_->setStrongPullup(true);
        networkPullup_ = true;
    }
}

void EmuBus::endPullup()
{
    if (!pullupOn_)
        return;
    pullupOn_ = false;
    releaseNetworkPullup();
}

bool EmuBus::programPulse(Micros length)
{
    pullupOn_ = false;
    if (shorted_)
        releaseNetworkPullup();
    bool taken = false;
    if (!shorted_) {
        OnChipTime t(*this);
        taken = net_->programPulse(length);
        spent_ += length;
    }
    time_ += length;
    return taken;
}

} // namespace platform::emu
