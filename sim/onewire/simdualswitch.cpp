#include "sim/onewire/simdualswitch.h"

namespace platform::sim {

namespace {
constexpr std::uint8_t kReadMemory = 0xF0;
constexpr std::uint8_t kReadStatus = 0xAA;
constexpr std::uint8_t kWriteMemory = 0x0F;
constexpr std::uint8_t kWriteStatus = 0x55;
constexpr std::uint8_t kChannelAccess = 0xF5;

void crcAdd(std::uint16_t& crc, std::uint8_t b) { crc = crc16(&b, 1, crc); }
} // namespace

SimDualSwitch::SimDualSwitch(RomCode rom) : SimNode(rom)
{
    memory_.fill(0xFF);
    // Write-protect and redirection bytes unprogrammed, 5 and 6 read 00h,
    // byte 7 (RAM): flip-flops and search settings all 1, no supply.
    status_ = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x7F};
}

void SimDualSwitch::setFlipFlops(bool a, bool b)
{
    const bool oldA = sensedA();
    const bool oldB = sensedB();
    std::uint8_t s = status_[7] & 0x9F;
    if (a)
        s |= 0x20;
    if (b)
        s |= 0x40;
    status_[7] = s;
    updateLatches(oldA, oldB);
}

void SimDualSwitch::setInputLevels(bool a, bool b)
{
    const bool oldA = sensedA();
    const bool oldB = sensedB();
    inputA_ = a;
    inputB_ = b;
    updateLatches(oldA, oldB);
}

void SimDualSwitch::setPowered(bool on)
{
    status_[7] = static_cast<std::uint8_t>(on ? (status_[7] | 0x80) : (status_[7] & 0x7F));
}

void SimDualSwitch::updateLatches(bool oldA, bool oldB)
{
    if (sensedA() != oldA)
        latchA_ = true;
    if (sensedB() != oldB)
        latchB_ = true;
}

std::uint8_t SimDualSwitch::infoByte() const
{
    std::uint8_t v = 0x40;  // two channels
    if (flipFlopA())
        v |= 0x01;
    if (flipFlopB())
        v |= 0x02;
    if (sensedA())
        v |= 0x04;
    if (sensedB())
        v |= 0x08;
    if (latchA_)
        v |= 0x10;
    if (latchB_)
        v |= 0x20;
    if ((status_[7] & 0x80) != 0)
        v |= 0x80;
    return v;
}

void SimDualSwitch::onReset(bool)
{
    phase_ = Phase::Command;
    pendingA_ = -1;
}

void SimDualSwitch::onByte(std::uint8_t b)
{
    switch (phase_) {
    case Phase::Command:
        command_ = b;
        crc_ = 0;
        crcAdd(crc_, b);
        if (b == kReadMemory || b == kReadStatus || b == kWriteMemory || b == kWriteStatus)
            phase_ = Phase::Address1;
        else if (b == kChannelAccess)
            phase_ = Phase::Control1;
        else
            idle();
        return;
    case Phase::Address1:
        ta1_ = b;
        phase_ = Phase::Address2;
        return;
    case Phase::Address2:
        address_ = static_cast<std::uint16_t>(ta1_ | (b << 8));
        if (command_ == kReadMemory || command_ == kReadStatus) {
            crcAdd(crc_, ta1_);
            crcAdd(crc_, b);
            startRead();
            return;
        }
        // Writes: the address bits above the memory are cleared by the chip.
        address_ &= command_ == kWriteMemory ? 0x7F : 0x07;
        crcAdd(crc_, static_cast<std::uint8_t>(address_ & 0xFF));
        crcAdd(crc_, static_cast<std::uint8_t>(address_ >> 8));
        firstPass_ = true;
        phase_ = Phase::WriteData;
        return;
    case Phase::WriteData:
        writeData(b);
        return;
    case Phase::AwaitRamByte:
        if (b != 0xFF) {
            idle();
            return;
        }
        commit(data_);
        phase_ = Phase::ReadBack;
        send(status_[address_]);
        return;
    case Phase::Control1:
        control1_ = b;
        phase_ = Phase::Control2;
        return;
    case Phase::Control2:
        phase_ = Phase::Info;
        send(infoByte());
        return;
    default:
        idle();
        return;
    }
}

void SimDualSwitch::startRead()
{
    const std::uint16_t limit = command_ == kReadMemory ? 128 : 8;
    if (address_ >= limit) {
        phase_ = Phase::Done;
        idle();
        return;
    }
    phase_ = Phase::ReadStream;
    onSent();
}

void SimDualSwitch::writeData(std::uint8_t b)
{
    data_ = b;
    if (firstPass_) {
        crcAdd(crc_, b);
    } else {
        crc_ = address_;
        crcAdd(crc_, b);
    }
    const auto inv = static_cast<std::uint16_t>(~crc_);
    send(static_cast<std::uint8_t>(inv & 0xFF));
    send(static_cast<std::uint8_t>(inv >> 8));
    phase_ = (command_ == kWriteStatus && address_ == 7) ? Phase::AwaitRamByte : Phase::AwaitPulse;
}

void SimDualSwitch::commit(std::uint8_t value)
{
    if (command_ == kWriteMemory) {
        const int page = address_ / 32;
        const bool writeProtected = ((status_[0] >> page) & 0x01) == 0;
        if (!writeProtected)
            memory_[address_] &= value;
        return;
    }
    if (address_ <= 4) {
        status_[address_] &= value;
    } else if (address_ == 7) {
        const bool oldA = sensedA();
        const bool oldB = sensedB();
        status_[7] = static_cast<std::uint8_t>((value & 0x7F) | (status_[7] & 0x80));
        updateLatches(oldA, oldB);
    }
    // Bytes 5 and 6 are programmed to 00h at the factory.
}

bool SimDualSwitch::programPulse()
{
    if (phase_ != Phase::AwaitPulse)
        return false;
    ++pulses_;
    commit(data_);
    phase_ = Phase::ReadBack;
    send(command_ == kWriteMemory ? memory_[address_] : status_[address_]);
    return true;
}

void SimDualSwitch::onSent()
{
    switch (phase_) {
    case Phase::ReadStream: {
        const std::uint16_t limit = command_ == kReadMemory ? 128 : 8;
        if (address_ < limit) {
            const std::uint8_t v = command_ == kReadMemory ? memory_[address_] : status_[address_];
            crcAdd(crc_, v);
            ++address_;
            send(v);
        } else {
            const auto inv = static_cast<std::uint16_t>(~crc_);
            send(static_cast<std::uint8_t>(inv & 0xFF));
            send(static_cast<std::uint8_t>(inv >> 8));
            phase_ = Phase::Done;
        }
        return;
    }
    case Phase::AwaitRamByte:
        receive();
        return;
    case Phase::ReadBack: {
        const std::uint16_t limit = command_ == kWriteMemory ? 128 : 8;
        ++address_;
        firstPass_ = false;
        if (address_ >= limit) {
            phase_ = Phase::Done;
            idle();
            return;
        }
        phase_ = Phase::WriteData;
        receive();
        return;
    }
    case Phase::Info:
        if ((control1_ & 0x80) != 0) {
            latchA_ = false;
            latchB_ = false;
        }
        if (((control1_ >> 2) & 0x03) == 0) {
            phase_ = Phase::Done;
            idle();
            return;
        }
        reading_ = (control1_ & 0x40) != 0;
        channelBit_ = 0;
        pendingA_ = -1;
        phase_ = Phase::Channel;
        bitMode();
        return;
    default:
        return;
    }
}

int SimDualSwitch::channelOfBit() const
{
    const int chs = (control1_ >> 2) & 0x03;
    if (chs == 3)
        return channelBit_ % 2;
    return chs == 1 ? 0 : 1;
}

int SimDualSwitch::driveBit()
{
    if (!reading_)
        return 1;
    return (channelOfBit() == 0 ? sensedA() : sensedB()) ? 1 : 0;
}

void SimDualSwitch::onBit(int level)
{
    if (!reading_) {
        const int ch = channelOfBit();
        const bool both = ((control1_ >> 2) & 0x03) == 3;
        const bool synchronous = (control1_ & 0x10) != 0;
        if (both && synchronous) {
            if (ch == 0) {
                pendingA_ = level;
            } else {
                const bool a = pendingA_ < 0 ? flipFlopA() : pendingA_ != 0;
                setFlipFlops(a, level != 0);
                pendingA_ = -1;
            }
        } else if (ch == 0) {
            setFlipFlops(level != 0, flipFlopB());
        } else {
            setFlipFlops(flipFlopA(), level != 0);
        }
    }
    ++channelBit_;
    if (channelBit_ % 8 == 0 && (control1_ & 0x20) != 0)
        reading_ = !reading_;
}

} // namespace platform::sim
