#pragma once
// EEPROMs written through a scratchpad with target address TA1/TA2 and the E/S byte
// (ending offset, PF partial flag, AA authorisation accepted): Write Scratchpad 0Fh,
// Read Scratchpad AAh, Copy Scratchpad 55h with TA1 TA2 E/S as authorisation, Read
// Memory F0h. Both have overdrive.
//   family 23h DS2433: 512 bytes, 32-byte scratchpad, copies T..E of the scratchpad;
//   family 2Dh DS2431: 128 bytes + register row at 80h (page protection bytes 80h..83h:
//   55h write-protect, AAh EPROM mode; 84h copy protection; 85h factory byte), 8-byte
//   scratchpad, copies full rows only, CRC16 after Read Scratchpad.

#include "sim/onewire/simnode.h"

namespace platform::sim {

class SimScratchEeprom : public SimNode {
public:
    bool supportsOverdrive() const override { return true; }

    std::vector<std::uint8_t>& memory() { return memory_; }
    const std::vector<std::uint8_t>& scratchpad() const { return scratchpad_; }
    // The target address, E/S byte.
    std::uint16_t targetAddress() const { return ta_; }
    std::uint8_t endingStatus() const { return es_; }
    Micros programTime() const { return programTime_; }
    int copies() const { return copies_; }

protected:
    SimScratchEeprom(RomCode rom, std::size_t memorySize, std::size_t scratchpadSize, Micros programTime);

    void onByte(std::uint8_t b) override;
    void onSent() override;
    void onReset(bool partialByte) override;
    void operationDone(int op) override;

    // Family rules.
    virtual std::uint8_t scratchValue(std::uint16_t address, std::uint8_t incoming) const { return incoming; }
    virtual bool copyAllowed() const = 0;
    virtual bool crcAfterReadScratchpad() const { return false; }
    virtual bool fullRowsOnly() const { return false; }
    // Address bits the chip keeps of a Write Scratchpad target address.
    virtual std::uint16_t targetAddressMask() const { return 0xFFFF; }
    // Bytes the Read Memory command can reach (the rest reads as 1s).
    virtual std::size_t readableSize() const { return memory_.size(); }

    std::vector<std::uint8_t> memory_;
    std::vector<std::uint8_t> scratchpad_;
    std::uint16_t ta_ = 0;
    std::uint8_t es_ = 0;

private:
    enum class Phase { Command, Address1, Address2, WriteData, ReadScratch, ReadMemory, Auth, Done };

    std::uint8_t offsetMask() const { return static_cast<std::uint8_t>(scratchpad_.size() - 1); }
    void setPartial(bool on) { es_ = static_cast<std::uint8_t>(on ? (es_ | 0x20) : (es_ & ~0x20)); }

    Micros programTime_;
    Phase phase_ = Phase::Command;
    std::uint8_t command_ = 0;
    std::uint8_t ta1_ = 0;
    std::uint16_t address_ = 0;
    std::uint8_t offset_ = 0;
    int written_ = 0;
    std::uint16_t crc_ = 0;
    std::vector<std::uint8_t> auth_;
    int copies_ = 0;
};

class SimDs2433 final : public SimScratchEeprom {
public:
    explicit SimDs2433(RomCode rom);
    std::string typeName() const override { return "DS2433"; }

protected:
    bool copyAllowed() const override;
    // Target addresses above 01FFh lose their upper seven bits.
    std::uint16_t targetAddressMask() const override { return 0x01FF; }
};

class SimDs2431 final : public SimScratchEeprom {
public:
    enum class Protection { Open, WriteProtected, EpromMode };

    explicit SimDs2431(RomCode rom);
    std::string typeName() const override { return "DS2431"; }
    // Page 0..3 protection as its control byte says.
    Protection protection(int page) const;
    void setProtection(int page, Protection p);

protected:
    std::uint8_t scratchValue(std::uint16_t address, std::uint8_t incoming) const override;
    bool copyAllowed() const override;
    bool crcAfterReadScratchpad() const override { return true; }
    bool fullRowsOnly() const override { return true; }

private:
    bool byteProtected(std::uint16_t address) const;
};

} // namespace platform::sim
