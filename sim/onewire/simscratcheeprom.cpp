#include "sim/onewire/simscratcheeprom.h"

namespace platform::sim {

namespace {
constexpr std::uint8_t kWriteScratchpad = 0x0F;
constexpr std::uint8_t kReadScratchpad = 0xAA;
constexpr std::uint8_t kCopyScratchpad = 0x55;
constexpr std::uint8_t kReadMemory = 0xF0;
constexpr int kOpCopy = 1;
constexpr std::uint8_t kPartialFlag = 0x20;
constexpr std::uint8_t kAuthAccepted = 0x80;

void crcAdd(std::uint16_t& crc, std::uint8_t b) { crc = crc16(&b, 1, crc); }
bool protectionCode(std::uint8_t v) { return v == 0x55 || v == 0xAA; }
} // namespace

SimScratchEeprom::SimScratchEeprom(RomCode rom, std::size_t memorySize, std::size_t scratchpadSize,
                                   Micros programTime)
    : SimNode(rom), memory_(memorySize, 0xFF), scratchpad_(scratchpadSize, 0xFF), programTime_(programTime)
{
}

void SimScratchEeprom::onReset(bool partialByte)
{
    if (phase_ == Phase::WriteData && partialByte)
        setPartial(true);
    phase_ = Phase::Command;
}

void SimScratchEeprom::onByte(std::uint8_t b)
{
    switch (phase_) {
    case Phase::Command:
        command_ = b;
        crc_ = 0;
        crcAdd(crc_, b);
        if (b == kWriteScratchpad || b == kReadMemory) {
            phase_ = Phase::Address1;
        } else if (b == kReadScratchpad) {
            phase_ = Phase::ReadScratch;
            offset_ = static_cast<std::uint8_t>(ta_ & offsetMask());
            for (std::uint8_t v : {static_cast<std::uint8_t>(ta_ & 0xFF), static_cast<std::uint8_t>(ta_ >> 8), es_}) {
                crcAdd(crc_, v);
                send(v);
            }
        } else if (b == kCopyScratchpad) {
            phase_ = Phase::Auth;
            auth_.clear();
        } else {
            idle();
        }
        return;
    case Phase::Address1:
        ta1_ = b;
        crcAdd(crc_, b);
        phase_ = Phase::Address2;
        return;
    case Phase::Address2: {
        const auto address = static_cast<std::uint16_t>(ta1_ | (b << 8));
        crcAdd(crc_, b);
        if (command_ == kReadMemory) {
            if (address >= readableSize()) {
                phase_ = Phase::Done;
                idle();
                return;
            }
            address_ = address;
            phase_ = Phase::ReadMemory;
            onSent();
            return;
        }
        ta_ = static_cast<std::uint16_t>(address & targetAddressMask());
        offset_ = static_cast<std::uint8_t>(ta_ & offsetMask());
        written_ = 0;
        es_ = offset_;
        setPartial(fullRowsOnly());
        phase_ = Phase::WriteData;
        return;
    }
    case Phase::WriteData: {
        const auto address = static_cast<std::uint16_t>((ta_ & ~offsetMask()) + offset_);
        scratchpad_[offset_] = scratchValue(address, b);
        if (written_ == 0 && knobs().scratchpadDiffers)
            scratchpad_[offset_] ^= 0x01;
        crcAdd(crc_, b);
        es_ = static_cast<std::uint8_t>((es_ & (kPartialFlag | kAuthAccepted)) | offset_);
        ++written_;
        if (!fullRowsOnly())
            setPartial(false);
        if (offset_ < offsetMask()) {
            ++offset_;
            return;
        }
        // End of the scratchpad: the CRC of command, address and data follows.
        if (fullRowsOnly())
            setPartial(!((ta_ & offsetMask()) == 0 && written_ == static_cast<int>(scratchpad_.size())));
        const auto inv = static_cast<std::uint16_t>(~crc_);
        phase_ = Phase::Done;
        send(static_cast<std::uint8_t>(inv & 0xFF));
        send(static_cast<std::uint8_t>(inv >> 8));
        return;
    }
    case Phase::Auth:
        auth_.push_back(b);
        if (auth_.size() < 3)
            return;
        phase_ = Phase::Done;
        if (auth_[0] == (ta_ & 0xFF) && auth_[1] == (ta_ >> 8) && auth_[2] == es_ &&
            (es_ & kPartialFlag) == 0 && copyAllowed() && !knobs().refuseCopy) {
            es_ |= kAuthAccepted;
            startOperation(kOpCopy, programTime_);
        } else {
            idle();
        }
        return;
    default:
        idle();
        return;
    }
}

void SimScratchEeprom::onSent()
{
    if (phase_ == Phase::ReadMemory) {
        if (address_ < readableSize())
            send(memory_[address_++]);
        else
            phase_ = Phase::Done;
        return;
    }
    if (phase_ != Phase::ReadScratch)
        return;
    if (offset_ <= offsetMask()) {
        const std::uint8_t v = scratchpad_[offset_++];
        crcAdd(crc_, v);
        send(v);
        return;
    }
    phase_ = Phase::Done;
    if (crcAfterReadScratchpad()) {
        const auto inv = static_cast<std::uint16_t>(~crc_);
        send(static_cast<std::uint8_t>(inv & 0xFF));
        send(static_cast<std::uint8_t>(inv >> 8));
    }
}

void SimScratchEeprom::operationDone(int op)
{
    if (op != kOpCopy)
        return;
    const std::size_t base = ta_ & ~static_cast<std::size_t>(offsetMask());
    const std::size_t first = ta_ & offsetMask();
    const std::size_t last = es_ & offsetMask();
    for (std::size_t i = first; i <= last && base + i < memory_.size(); ++i)
        memory_[base + i] = scratchpad_[i];
    ++copies_;
    // Copy done: alternating 1s and 0s until the next reset.
    sendRepeating(0xAA);
}

// --- DS2433 ----------------------------------------------------------------------

SimDs2433::SimDs2433(RomCode rom) : SimScratchEeprom(rom, 512, 32, Micros(5000)) {}

bool SimDs2433::copyAllowed() const { return ta_ < memory_.size() && (es_ & 0x1F) >= (ta_ & 0x1F); }

// --- DS2431 ----------------------------------------------------------------------

SimDs2431::SimDs2431(RomCode rom) : SimScratchEeprom(rom, 0x90, 8, Micros(10000))
{
    for (std::size_t a = 0x80; a <= 0x84; ++a)
        memory_[a] = 0x00;
    memory_[0x85] = 0x55;  // factory byte: 85h read-only, user bytes free
}

SimDs2431::Protection SimDs2431::protection(int page) const
{
    if (page < 0 || page > 3)
        return Protection::Open;
    const std::uint8_t v = memory_[0x80 + page];
    if (v == 0x55)
        return Protection::WriteProtected;
    if (v == 0xAA)
        return Protection::EpromMode;
    return Protection::Open;
}

void SimDs2431::setProtection(int page, Protection p)
{
    if (page < 0 || page > 3)
        return;
    memory_[0x80 + page] = p == Protection::WriteProtected ? 0x55 : p == Protection::EpromMode ? 0xAA : 0x00;
}

bool SimDs2431::byteProtected(std::uint16_t address) const
{
    if (address < 0x80)
        return protection(address / 32) == Protection::WriteProtected;
    if (address <= 0x85)
        return protectionCode(memory_[address]);
    if (address <= 0x87)
        return memory_[0x85] == 0xAA;
    return false;
}

std::uint8_t SimDs2431::scratchValue(std::uint16_t address, std::uint8_t incoming) const
{
    if (address >= memory_.size())
        return incoming;
    if (byteProtected(address))
        return memory_[address];
    if (address < 0x80 && protection(address / 32) == Protection::EpromMode)
        return static_cast<std::uint8_t>(memory_[address] & incoming);
    return incoming;
}

bool SimDs2431::copyAllowed() const
{
    if ((ta_ & 0x07) != 0 || (es_ & 0x07) != 0x07 || ta_ >= memory_.size())
        return false;
    if (protectionCode(memory_[0x84])) {
        if (ta_ >= 0x80 || protection(ta_ / 32) == Protection::WriteProtected)
            return false;
    }
    return true;
}

} // namespace platform::sim
