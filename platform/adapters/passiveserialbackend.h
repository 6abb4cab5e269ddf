#pragma once
// The passive serial adapter (port type 1: the DS9097E and the maker's demo adaptor):
// the UART itself makes the 1-Wire waveforms. A reset is the character F0h at 9600 baud
// (its start bit and four 0 bits hold the line low for the reset pulse; a presence pulse
// pulls some of the 1 bits low, so the echo differs from F0h; an echo of 00h is a
// shorted line). A time slot is one character at 115200 baud: FFh writes a 1 and reads
// (the echo is FFh when the line stayed high), 00h writes a 0. A byte is eight slot
// characters, a block eight per byte, each exchange in one write. The adapter has no
// strong pull-up of its own (the line idles high through the port's TX line) and no
// programming voltage.

#include "platform/adapters/serialadapterbackend.h"

namespace platform {

class PassiveSerialBackend final : public SerialAdapterBackend {
public:
    PassiveSerialBackend(std::unique_ptr<SerialPort> port, int commPort);

    ResetOutcome resetPulse() override;
    BusResult bit(int b) override;
    BusResult byte(int b) override;
    int block(std::uint8_t* data, std::size_t n) override;
    // One exchange per search position: the direction slot goes with the next
    // position's two read slots.
    int searchPass(int command, const std::array<std::uint8_t, 8>& preferred, std::array<std::uint8_t, 8>& rom,
                   std::array<std::uint8_t, 8>& discrepancies) override;

    void setStrongPullup(bool on) override { pullup_ = on; }
    bool strongPullup() const override { return pullup_; }
    bool programPulse() override { return false; }
    bool canProgram() const override { return false; }
    // The UART timing is fixed: normal speed only.
    void setSpeed(int) override {}
    int speed() const override { return 0; }
    std::string typeVersion(int portType) const override;

protected:
    bool start() override;
    void forget() override { pullup_ = false; }

private:
    bool pullup_ = false;
};

} // namespace platform
