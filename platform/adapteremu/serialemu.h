#pragma once
// The far end of an in-memory serial line for an emulated adapter: answers are queued
// with the time they are on the host's side (line time of the characters received and
// sent plus the bus time the simulated network spent), so the host waits for them as
// it would on a real line.

#include "platform/base/clock.h"
#include "platform/onewiresim/simnetwork.h"
#include "platform/serial/memoryport.h"

#include <deque>
#include <memory>

namespace platform::emu {

class SerialAdapterEmu : public SerialDevice {
public:
    explicit SerialAdapterEmu(std::shared_ptr<sim::SimNetwork> network) : net_(std::move(network)) {}

    void hostWrote(const std::string& bytes, TimePoint at) override;
    std::string sentBy(TimePoint now) override;
    void lineSettings(const LineSettings& s) override { baud_ = s.baud; }

    sim::SimNetwork& network() { return *net_; }
    // The adapter is not there: nothing answers.
    void setSilent(bool silent) { silent_ = silent; }
    // The 1-Wire line is shorted to ground.
    void setShorted(bool shorted) { shorted_ = shorted; }

protected:
    // Handles the bytes of one write, calling answer() for each byte sent back.
    virtual void received(const std::string& bytes) = 0;
    // Queues an answer byte after the bus time spent since the last one.
    void answer(std::uint8_t b);
    // Queues an answer byte without counting the bus time since the last one (an
    // unlimited pull-up ended now: its length is time that has already passed).
    void answerNow(std::uint8_t b);
    int baud() const { return baud_; }
    bool shorted() const { return shorted_; }

private:
    Micros charTime() const { return Micros(10'000'000LL / baud_); }

    std::shared_ptr<sim::SimNetwork> net_;
    std::deque<std::pair<TimePoint, char>> out_;
    TimePoint cursor_{};
    Micros busMark_{0};
    int baud_ = 9600;
    bool silent_ = false;
    bool shorted_ = false;
};

} // namespace platform::emu
