#pragma once
// Family 14h 256-bit EEPROM with 64-bit application register (DS2430A).
// Write/Read Scratchpad 0Fh/AAh, Copy Scratchpad 55h A5h, Read Memory F0h (loads the
// scratchpad from the memory first), Write/Read Application Register 99h/C3h,
// Read Status 66h 00h (FCh once locked, else FFh), Copy & Lock 5Ah A5h.

#include "sim/onewire/simnode.h"

namespace platform::sim {

class SimDs2430 final : public SimNode {
public:
    static constexpr Micros kProgramTime{10000};

    explicit SimDs2430(RomCode rom);
    std::string typeName() const override { return "DS2430A"; }

    std::array<std::uint8_t, 32>& memory() { return memory_; }
    std::array<std::uint8_t, 32>& scratchpad() { return scratchpad_; }
    std::array<std::uint8_t, 8>& appRegister() { return appRegister_; }
    std::array<std::uint8_t, 8>& appScratchpad() { return appScratch_; }
    bool locked() const { return locked_; }
    // Locks the register with its present contents (description files, tests).
    void setLocked(bool on) { locked_ = on; }

protected:
    void onByte(std::uint8_t b) override;
    void onSent() override;
    void onReset(bool partialByte) override;
    void operationDone(int op) override;

private:
    enum class Phase { Command, Address, WriteData, WriteRegister, Key, Stream, Done };

    std::array<std::uint8_t, 32> memory_{};
    std::array<std::uint8_t, 32> scratchpad_{};
    std::array<std::uint8_t, 8> appRegister_{};
    std::array<std::uint8_t, 8> appScratch_{};
    bool locked_ = false;

    Phase phase_ = Phase::Command;
    std::uint8_t command_ = 0;
    std::uint8_t address_ = 0;
};

} // namespace platform::sim
