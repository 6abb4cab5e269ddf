#include "sim/onewire/simds2430.h"

namespace platform::sim {

namespace {
constexpr std::uint8_t kWriteScratchpad = 0x0F;
constexpr std::uint8_t kReadScratchpad = 0xAA;
constexpr std::uint8_t kCopyScratchpad = 0x55;
constexpr std::uint8_t kReadMemory = 0xF0;
constexpr std::uint8_t kWriteRegister = 0x99;
constexpr std::uint8_t kReadStatus = 0x66;
constexpr std::uint8_t kReadRegister = 0xC3;
constexpr std::uint8_t kCopyLock = 0x5A;
constexpr std::uint8_t kValidationKey = 0xA5;
constexpr int kOpCopy = 1;
constexpr int kOpLock = 2;
} // namespace

SimDs2430::SimDs2430(RomCode rom) : SimNode(rom)
{
    memory_.fill(0xFF);
    scratchpad_.fill(0xFF);
    appRegister_.fill(0xFF);
    appScratch_.fill(0xFF);
}

void SimDs2430::onReset(bool) { phase_ = Phase::Command; }

void SimDs2430::onByte(std::uint8_t b)
{
    switch (phase_) {
    case Phase::Command:
        command_ = b;
        switch (b) {
        case kReadMemory:
            scratchpad_ = memory_;
            phase_ = Phase::Address;
            return;
        case kWriteScratchpad:
        case kReadScratchpad:
        case kWriteRegister:
        case kReadRegister:
            phase_ = Phase::Address;
            return;
        case kCopyScratchpad:
        case kReadStatus:
        case kCopyLock:
            phase_ = Phase::Key;
            return;
        default:
            idle();
            return;
        }
    case Phase::Address:
        if (command_ == kWriteScratchpad) {
            address_ = b & 0x1F;
            phase_ = Phase::WriteData;
        } else if (command_ == kWriteRegister) {
            address_ = b & 0x07;
            phase_ = Phase::WriteRegister;
        } else {
            address_ = command_ == kReadRegister ? (b & 0x07) : (b & 0x1F);
            phase_ = Phase::Stream;
            onSent();
        }
        return;
    case Phase::WriteData:
        scratchpad_[address_] = b;
        address_ = (address_ + 1) & 0x1F;
        return;
    case Phase::WriteRegister:
        // Once locked, data written to the register scratchpad is lost.
        if (!locked_)
            appScratch_[address_] = b;
        address_ = (address_ + 1) & 0x07;
        return;
    case Phase::Key:
        if (command_ == kReadStatus) {
            if (b != 0x00) {
                idle();
                return;
            }
            phase_ = Phase::Done;
            send(locked_ ? 0xFC : 0xFF);
            sendRepeating(locked_ ? 0xFC : 0xFF);
            return;
        }
        if (b != kValidationKey || (command_ == kCopyLock && locked_)) {
            idle();
            return;
        }
        phase_ = Phase::Done;
        startOperation(command_ == kCopyLock ? kOpLock : kOpCopy, kProgramTime);
        return;
    default:
        idle();
        return;
    }
}

void SimDs2430::onSent()
{
    if (phase_ != Phase::Stream)
        return;
    if (command_ == kReadRegister) {
        send(locked_ ? appRegister_[address_] : appScratch_[address_]);
        address_ = (address_ + 1) & 0x07;
    } else {
        send(scratchpad_[address_]);
        address_ = (address_ + 1) & 0x1F;
    }
}

void SimDs2430::operationDone(int op)
{
    if (op == kOpCopy) {
        memory_ = scratchpad_;
    } else if (op == kOpLock) {
        appRegister_ = appScratch_;
        locked_ = true;
    }
}

} // namespace platform::sim
