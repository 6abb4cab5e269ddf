#pragma once
// An emulated DS2480B in front of a simulated network, from the chip's command set (see
// platform/adapters/ds2480b.h): calibration by the first reset command after power-up
// or a break, command and data modes, configuration parameters, reset with its result
// bits, single bits with the optional strong pull-up, the search accelerator in data
// mode, pulses of the configured length or unlimited until F1h, and the 12 V
// programming pulse when the supply is there.

#include "platform/adapteremu/serialemu.h"

#include <array>

namespace platform::emu {

class Ds2480bEmu final : public SerialAdapterEmu {
public:
    explicit Ds2480bEmu(std::shared_ptr<sim::SimNetwork> network);

    void hostBreak(TimePoint) override { powerUp(); }
    void setProgramVoltage(bool present) { programVoltage_ = present; }
    bool dataMode() const { return dataMode_; }

protected:
    void received(const std::string& bytes) override;

private:
    void powerUp();
    void command(std::uint8_t b);
    void data(std::uint8_t b);
    void pullup(std::uint8_t response);
    void endPulse();
    void setSpeedBits(int ss);

    bool calibrated_ = false;
    bool dataMode_ = false;
    bool escape_ = false;      // E3h seen in data mode
    bool accelerator_ = false;
    bool pulseOn_ = false;     // an unlimited pulse runs
    std::uint8_t pulseAnswer_ = 0;
    bool programVoltage_ = false;
    std::array<int, 8> params_{};
};

} // namespace platform::emu
