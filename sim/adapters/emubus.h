#pragma once
// The 1-Wire side of an emulated adapter: resets, time slots, pulses and the speed on
// the simulated network, or nothing but low levels while the line is shorted to ground.
// The adapter works in its own time (it handles what the host sent whenever the host next
// looks, at the moment the chip did it): each operation runs at the bus's time, which
// moves on by what the operation took. The network counts an operation's length as bus
// time and the clock time between operations as idle, so it sees the chip's time less the
// bus time spent: idle times and pull-up lengths between operations are the chip's.

#include "sim/onewire/simnetwork.h"

#include <memory>

namespace platform::emu {

class EmuBus {
public:
    explicit EmuBus(std::shared_ptr<sim::SimNetwork> network) : net_(std::move(network)) {}

    enum class ResetResult { Presence, NoPresence, Short };

    sim::SimNetwork& network() { return *net_; }
    // The chip time the next operation begins at.
    void setTime(TimePoint t) { time_ = t; }
    TimePoint time() const { return time_; }
    void setShorted(bool on) { shorted_ = on; }
    bool shorted() const { return shorted_; }

    // The speed of the next bus operations.
    void setSpeed(sim::Speed s) { speed_ = s; }
    sim::Speed speed() const { return speed_; }

    ResetResult reset(Micros& took);
    int bit(int value, Micros& took);
    std::uint8_t byte(std::uint8_t value, Micros& took);
    // Strong pull-up of a known length, right after the last slot.
    void pullup(Micros length);
    // Strong pull-up until endPullup().
    void startPullup();
    void endPullup();
    bool pullupOn() const { return pullupOn_; }
    // 12 V programming pulse; true when a node took it.
    bool programPulse(Micros length);

private:
    class ChipClock final : public Clock {
    public:
        TimePoint now() override { return at; }
        double timeOfDay() override { return outer ? outer->timeOfDay() : 0.0; }
        void pause(Micros) override {}
        TimePoint at{};
        Clock* outer = nullptr;
    };
    // Puts the network on the chip's time for one operation.
    class OnChipTime {
    public:
        explicit OnChipTime(EmuBus& bus);
        ~OnChipTime();
        OnChipTime(const OnChipTime&) = delete;
        OnChipTime& operator=(const OnChipTime&) = delete;

    private:
        Clock* outer_;
    };

    void applySpeed();
    // Ends the network's strong pull-up, if it has one on from startPullup().
    void releaseNetworkPullup();

    std::shared_ptr<sim::SimNetwork> net_;
    ChipClock chipClock_;
    TimePoint time_{};
    Micros spent_{0};  // bus time the network has counted for this adapter's operations
    bool shorted_ = false;
    bool pullupOn_ = false;
    bool networkPullup_ = false;  // the network has a strong pull-up on from startPullup()
    sim::Speed speed_ = sim::Speed::Standard;
};

} // namespace platform::emu
