#pragma once
// Family 12h dual addressable switch with 1 kbit EPROM (DS2406).
// Read Memory F0h and Read Status AAh (CRC16 at the end), Write Memory 0Fh and Write
// Status 55h (CRC16 echo, then a programming pulse; bits only go from 1 to 0; status
// byte 7 is RAM and takes an FFh byte instead of the pulse), Channel Access F5h with
// the channel flip-flops, sensed levels and activity latches. The CRC options of
// Channel Access are not modelled (the data flows without CRC bytes).

#include "sim/onewire/simnode.h"

namespace platform::sim {

class SimDualSwitch final : public SimNode {
public:
    explicit SimDualSwitch(RomCode rom);
    std::string typeName() const override { return "DS2406"; }

    std::array<std::uint8_t, 128>& memory() { return memory_; }
    std::array<std::uint8_t, 8>& status() { return status_; }
    // Channel flip-flops: true = output transistor off (the power-on state).
    bool flipFlopA() const { return (status_[7] & 0x20) != 0; }
    bool flipFlopB() const { return (status_[7] & 0x40) != 0; }
    void setFlipFlops(bool a, bool b);
    // Level the outside world puts on the PIO pins (true = pulled high).
    void setInputLevels(bool a, bool b);
    bool sensedA() const { return flipFlopA() && inputA_; }
    bool sensedB() const { return flipFlopB() && inputB_; }
    bool latchA() const { return latchA_; }
    bool latchB() const { return latchB_; }
    // Supply on the VCC pin.
    void setPowered(bool on);
    int programPulses() const { return pulses_; }

protected:
    void onByte(std::uint8_t b) override;
    void onSent() override;
    int driveBit() override;
    void onBit(int level) override;
    void onReset(bool partialByte) override;
    bool programPulse() override;

private:
    enum class Phase { Command, Address1, Address2, ReadStream, ReadCrc, WriteData, WriteCrc,
                       AwaitPulse, AwaitRamByte, ReadBack, Control1, Control2, Info, Channel, Done };

    void startRead();
    void writeData(std::uint8_t b);
    void commit(std::uint8_t value);
    std::uint8_t infoByte() const;
    void updateLatches(bool oldA, bool oldB);
    int channelOfBit() const;

    std::array<std::uint8_t, 128> memory_{};
    std::array<std::uint8_t, 8> status_{};
    bool inputA_ = true;
    bool inputB_ = true;
    bool latchA_ = false;
    bool latchB_ = false;
    int pulses_ = 0;

    Phase phase_ = Phase::Command;
    std::uint8_t command_ = 0;
    std::uint8_t ta1_ = 0;
    std::uint16_t address_ = 0;
    std::uint16_t crc_ = 0;
    bool firstPass_ = true;
    std::uint8_t data_ = 0;
    std::uint8_t control1_ = 0;
    int channelBit_ = 0;
    bool reading_ = false;
    int pendingA_ = -1;
};

} // namespace platform::sim
