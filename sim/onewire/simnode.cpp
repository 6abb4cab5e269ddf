#include "sim/onewire/simnode.h"

namespace platform::sim {

namespace {
constexpr std::uint8_t kReadRom = 0x33;
constexpr std::uint8_t kMatchRom = 0x55;
constexpr std::uint8_t kSkipRom = 0xCC;
constexpr std::uint8_t kSearchRom = 0xF0;
constexpr std::uint8_t kOverdriveSkip = 0x3C;
constexpr std::uint8_t kOverdriveMatch = 0x69;
} // namespace

SimNode::SimNode(RomCode rom) : rom_(rom)
{
    for (int i = 0; i < 64; ++i)
        if ((rom_.bytes[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 0x01)
            laneKey_ |= std::uint64_t{1} << (63 - i);
}

SimNode::~SimNode() = default;

// The network takes the node out of its shared lane first: a node that leaves the bus, or
// whose knobs change, goes on from its exact state. The knobs may be changed later through
// the reference handed out, at any slot: from now on the node answers on its own.
NodeFaults& SimNode::faults()
{
    knobsHandedOut_ = true;
    if (network_)
        network_->nodeChanged(*this);
    return faults_;
}

void SimNode::setConnected(bool on)
{
    if (network_)
        network_->nodeChanged(*this);
    connected_ = on;
}

void SimNode::busReset(bool standardSpeed)
{
    const bool partial = io_ == Io::Rx && inBits_ > 0 && romState_ == Rom::Function;
    if (standardSpeed)
        overdrive_ = false;
    txQueue_.clear();
    txBits_ = 8;
    repeatByte_ = 0xFF;
    romState_ = Rom::Command;
    receive();
    onReset(partial);
}

int SimNode::drive()
{
    switch (io_) {
    case Io::Idle:
    case Io::Rx:
        return 1;
    case Io::Tx:
        if (txBits_ >= 8) {
            loadTxByte();
            if (io_ != Io::Tx)  // onSent() chose another mode
                return drive();
        }
        return (txByte_ >> txBits_) & 0x01;
    case Io::Bits:
        return driveBit() != 0 ? 1 : 0;
    case Io::Search: {
        const int bit = (rom_.bytes[searchBit_ / 8] >> (searchBit_ % 8)) & 0x01;
        if (searchSlot_ == 0)
            return bit;
        if (searchSlot_ == 1)
            return bit ^ 0x01;
        return 1;
    }
    }
    return 1;
}

void SimNode::sample(int level)
{
    level = level != 0 ? 1 : 0;
    switch (io_) {
    case Io::Idle:
        return;
    case Io::Rx:
        inByte_ = static_cast<std::uint8_t>(inByte_ | (level << inBits_));
        if (++inBits_ == 8) {
            const std::uint8_t b = inByte_;
            inByte_ = 0;
            inBits_ = 0;
            dispatch(b);
        }
        return;
    case Io::Tx:
        if (++txBits_ == 8 && txQueue_.empty() && romState_ == Rom::ReadRom) {
            romState_ = Rom::Function;
            selected();
        }
        return;
    case Io::Bits:
        onBit(level);
        return;
    case Io::Search: {
        if (searchSlot_ < 2) {
            ++searchSlot_;
            return;
        }
        const int bit = (rom_.bytes[searchBit_ / 8] >> (searchBit_ % 8)) & 0x01;
        searchSlot_ = 0;
        if (level != bit) {
            romState_ = Rom::Idle;
            idle();
            return;
        }
        if (++searchBit_ == 64) {
            romState_ = Rom::Function;
            selected();
        }
        return;
    }
    }
}

void SimNode::dispatch(std::uint8_t b)
{
    if (romState_ == Rom::Function)
        onByte(b);
    else
        romByte(b);
}

void SimNode::romByte(std::uint8_t b)
{
    if (romState_ == Rom::Match) {
        const std::size_t i = matchBytes_.size();
        matchBytes_.push_back(b);
        if (rom_.bytes[i] != b) {
            romState_ = Rom::Idle;
            idle();
        } else if (matchBytes_.size() == 8) {
            romState_ = Rom::Function;
            selected();
        }
        return;
    }
    if (romState_ != Rom::Command) {
        idle();
        return;
    }
    switch (b) {
    case kReadRom:
        romState_ = Rom::ReadRom;
        send(std::vector<std::uint8_t>(rom_.bytes.begin(), rom_.bytes.end()));
        return;
    case kMatchRom:
        romState_ = Rom::Match;
        matchBytes_.clear();
        receive();
        return;
    case kSkipRom:
        romState_ = Rom::Function;
        selected();
        return;
    case kSearchRom:
        romState_ = Rom::Search;
        io_ = Io::Search;
        searchBit_ = 0;
        searchSlot_ = 0;
        return;
    case kOverdriveSkip:
        if (supportsOverdrive()) {
            overdrive_ = true;
            romState_ = Rom::Function;
            selected();
            return;
        }
        break;
    case kOverdriveMatch:
        if (supportsOverdrive()) {
            overdrive_ = true;
            romState_ = Rom::Match;
            matchBytes_.clear();
            receive();
            return;
        }
        break;
    default:
        break;
    }
    romState_ = Rom::Idle;
    idle();
}

void SimNode::loadTxByte()
{
    if (txQueue_.empty())
        onSent();
    if (!txQueue_.empty()) {
        txByte_ = txQueue_.front();
        txQueue_.pop_front();
    } else {
        txByte_ = repeatByte_;
    }
    txBits_ = 0;
}

void SimNode::receive()
{
    io_ = Io::Rx;
    inByte_ = 0;
    inBits_ = 0;
}

void SimNode::send(std::uint8_t b)
{
    if (io_ != Io::Tx) {
        io_ = Io::Tx;
        txBits_ = 8;
        repeatByte_ = 0xFF;
    }
    txQueue_.push_back(b);
}

void SimNode::send(const std::vector<std::uint8_t>& bytes)
{
    for (std::uint8_t b : bytes)
        send(b);
}

void SimNode::sendRepeating(std::uint8_t b)
{
    if (io_ != Io::Tx) {
        io_ = Io::Tx;
        txBits_ = 8;
    }
    repeatByte_ = b;
}

void SimNode::bitMode() { io_ = Io::Bits; }

void SimNode::idle()
{
    io_ = Io::Idle;
    txQueue_.clear();
}

void SimNode::startOperation(int op, Micros duration)
{
    pendingOp_ = op;
    pendingLeft_ = duration;
    idle();
}

void SimNode::elapse(Micros d)
{
    if (pendingOp_ == 0 || faults_.copyNeverCompletes || d <= Micros(0))
        return;
    pendingLeft_ -= d;
    if (pendingLeft_ <= Micros(0)) {
        const int op = pendingOp_;
        pendingOp_ = 0;
        operationDone(op);
    }
}

void SimNode::busActivity()
{
    if (pendingOp_ == 0)
        return;
    const int op = pendingOp_;
    pendingOp_ = 0;
    operationAborted(op);
}

bool SimNode::takeProgramPulse() { return programPulse(); }

void SimNode::countSlot()
{
    if (!faults_.vanishAfterSlots)
        return;
    if (*faults_.vanishAfterSlots <= 1) {
        faults_.vanishAfterSlots.reset();
        connected_ = false;
    } else {
        --*faults_.vanishAfterSlots;
    }
}

} // namespace platform::sim
