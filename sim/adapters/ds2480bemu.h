#pragma once
// An emulated DS2480B serial 1-Wire line driver in front of a simulated network, from its
// datasheet alone. The chip is full duplex: the host's characters arrive at line time
// into a one-byte receive buffer while the core turns the previous one into 1-Wire
// activity; a character that arrives while the buffer still holds one is lost (recorded,
// as every protocol error). Answers leave at the chip's rate as soon as their bus
// activity is done.
// Modelled: timing calibration by the first reset command after power-up or a break,
// command and data modes with the E3h escape, configuration parameters with read-back,
// reset with its result bits (short, presence, none), single bits with the strong
// pull-up, the search accelerator, pulses of the configured length or unlimited until
// F1h, the strong pull-up armed after every data byte, the 12 V programming pulse when
// the supply is there, and the baud-rate parameter.

#include "sim/adapters/serialadapteremu.h"

#include <array>
#include <optional>

namespace platform::emu {

class Ds2480bEmu final : public SerialAdapterEmu {
public:
    explicit Ds2480bEmu(std::shared_ptr<sim::SimNetwork> network);

    void setProgramVoltage(bool present) { programVoltage_ = present; }
    bool dataMode() const { return dataMode_; }
    // Characters lost because the receive buffer was full.
    long lostBytes() const { return counters().lostBytes; }

protected:
    void advance(TimePoint now) override;
    void onBreak(TimePoint at) override;

private:
    enum class Pulse { None, Strong, Program };

    void powerUp();
    int chipBaud() const;
    void received(const Char& c);
    void drain(TimePoint until);
    void duringPulse(std::uint8_t b, TimePoint at);
    void execute(std::uint8_t b, TimePoint start);
    Micros command(std::uint8_t b, TimePoint start);
    Micros configure(std::uint8_t b, TimePoint start);
    Micros data(std::uint8_t b, TimePoint start);
    Micros searchByte(std::uint8_t b, TimePoint start);
    Micros pulse(Pulse kind, std::uint8_t response, TimePoint start);
    void terminate(TimePoint at);
    bool speedFrom(std::uint8_t b);
    Micros strongPullupLength() const;
    Micros programPulseLength() const;
    void answer(std::uint8_t b, TimePoint ready);

    bool calibrated_ = false;
    bool dataMode_ = false;
    bool escape_ = false;       // E3h seen in data mode
    bool accelerator_ = false;
    bool armed_ = false;        // strong pull-up after every data byte
    bool programVoltage_ = false;
    bool bit5_ = false;         // the undefined bit of the reset answer, alternating
    std::array<int, 8> params_{};
    std::optional<Char> buffer_;    // the one-byte receive buffer
    TimePoint coreFree_{};          // the core is done with the byte before
    // An unlimited pulse runs until F1h; its answer follows the end.
    Pulse unlimited_ = Pulse::None;
    std::uint8_t unlimitedAnswer_ = 0;
    TimePoint unlimitedStart_{};
};

} // namespace platform::emu
