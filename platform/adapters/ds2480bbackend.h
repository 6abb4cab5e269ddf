#pragma once
// The serial adapter with the DS2480B line driver (port type 5, DS9097U), at 9600 baud.
//
// The chip starts in command mode after a break and a calibrating reset command C1h
// (which it does not answer). Command bytes (bit 7 = 1): reset 110x SS x1, single bit
// 100V SS P1 (P: strong pull-up after the slot), search accelerator 101H SS x1, pulse
// 111T 11 Q1 (T: 0 = 5 V pull-up, 1 = 12 V programming pulse); SS is the speed
// (00 regular, 01 flexible, 10 overdrive). Configuration bytes (bit 7 = 0) write or read
// a parameter: 0 PPP VVV 1, answered with bit 0 cleared. E1h enters data mode, where
// every byte is a 1-Wire byte answered by the byte read (E3h is sent twice), E3h goes
// back to command mode, F1h ends a pulse of unlimited length.
//
// Here: the chip is full duplex and buffers one byte, so a whole sequence (resets,
// Match ROM, command and data block) goes out in one write and the answers are taken
// as they come; the 1-Wire layer holds back accesses and writes whose answers nobody
// waits for (pipelines()). A search pass is one exchange (reset, Search ROM,
// accelerator on, 16 bytes, accelerator off). A byte followed by a strong pull-up is
// eight single-bit commands, the last with P set; the pull-up lasts a predefined
// duration when one fits the time asked for (the chip then ends it and answers by
// itself), else "unlimited" until F1h. Its end is confirmed by the pulse response byte;
// a missing or wrong one is an error. The normal speed choice uses regular timing,
// relaxed the flexible timing with slower slew and longer write-1 and sampling times.

#include "platform/adapters/serialadapterbackend.h"

namespace platform {

class Ds2480bBackend final : public SerialAdapterBackend {
public:
    Ds2480bBackend(std::unique_ptr<SerialPort> port, int commPort);
    // The 12 V programming supply is wired (the DS9097U has none).
    void setProgramVoltage(bool present) { programVoltage_ = present; }

    ResetOutcome resetPulse() override;
    BusResult bit(int b) override;
    BusResult byte(int b) override;
    BusResult byteThenPullup(int b) override;
    int block(std::uint8_t* data, std::size_t n) override;
    int searchPass(int command, const std::array<std::uint8_t, 8>& preferred, std::array<std::uint8_t, 8>& rom,
                   std::array<std::uint8_t, 8>& discrepancies) override;
    int sequence(std::vector<BusStep>& steps) override;
    bool pipelines() const override { return true; }
    int pullupLevel(bool on) override;
    void pullupHint(Micros atLeast) override { hint_ = atLeast; }

    void setStrongPullup(bool on) override { pullupLevel(on); }
    bool strongPullup() const override { return pullup_; }
    bool programPulse() override;
    bool canProgram() const override { return programVoltage_; }
    void setSpeed(int speed) override;
    int speed() const override { return speed_; }
    std::string typeVersion(int portType) const override;

protected:
    bool start() override;
    void forget() override;

private:
    // Prefix that puts the chip into command (or data) mode.
    std::string toCommand();
    std::string toData();
    int speedBits() const;
    // The strong pull-up duration code for the time asked for (7: unlimited).
    int pullupCode() const;
    // Ends a pull-up still on before other traffic; false when the chip did not confirm.
    bool endPullup();

    bool dataMode_ = false;
    bool pullup_ = false;
    bool pulseTimed_ = false;  // the running pull-up ends by itself at pulseEnds_
    TimePoint pulseEnds_{};
    int pullupDuration_ = -1;  // the chip's strong pull-up duration code, -1 unknown
    Micros hint_{0};
    bool programVoltage_ = false;
    int speed_ = 0;
};

} // namespace platform
