#pragma once
// One device on the simulated bus. The base class answers the ROM commands (Read ROM
// 33h, Match ROM 55h, Skip ROM CCh, Search ROM F0h, and Overdrive Skip 3Ch / Overdrive
// Match 69h for the devices that have overdrive) at bit level; a family model derives
// from it and handles its function commands byte by byte.

#include "sim/onewire/simnetwork.h"

#include <deque>

namespace platform::sim {

struct NodeFaults {
    // The node leaves the bus after that many more time slots it takes part in.
    std::optional<std::uint64_t> vanishAfterSlots;
    // Copies, locks and conversions never finish.
    bool copyNeverCompletes = false;
    // Scratchpad EEPROMs: the first data byte of every Write Scratchpad is kept with its
    // lowest bit inverted, so the scratchpad reads back different from what was sent.
    bool scratchpadDiffers = false;
    // Scratchpad EEPROMs: every Copy Scratchpad is refused, as a wrong authorisation is.
    bool refuseCopy = false;
};

class SimNode {
public:
    explicit SimNode(RomCode rom);
    virtual ~SimNode();
    SimNode(const SimNode&) = delete;
    SimNode& operator=(const SimNode&) = delete;

    const RomCode& rom() const { return rom_; }
    // Device name, e.g. "DS2433".
    virtual std::string typeName() const = 0;
    virtual bool supportsOverdrive() const { return false; }

    // The knobs, to change. A node whose knobs were handed out answers every slot on its
    // own from then on, so a knob set through a kept reference takes effect at once.
    NodeFaults& faults();
    // The knobs as they are (the family models read them here).
    const NodeFaults& knobs() const { return faults_; }
    // A node that is not connected takes no part in bus traffic (it stays in the list).
    bool connected() const { return connected_; }
    void setConnected(bool on);
    bool overdrive() const { return overdrive_; }
    // An operation (copy, conversion) is waiting for its programming time.
    bool operationPending() const { return pendingOp_ != 0; }

    // --- Called by the network ---------------------------------------------------
    // Reset pulse seen; the node answers with presence.
    void busReset(bool standardSpeed);
    // The level the node drives in this slot: 1 released, 0 pulled low.
    int drive();
    // The level of the slot as the node samples it.
    void sample(int level);
    // The bus stayed high (idle or strong pull-up) for d.
    void elapse(Micros d);
    // A reset or slot begins: an unfinished operation is lost.
    void busActivity();
    // A programming pulse; true when the node took it.
    bool takeProgramPulse();
    // Counts a slot for the vanish knob.
    void countSlot();

protected:
    // The ROM layer selected the node; the next byte received is a function command.
    virtual void selected() { receive(); }
    // A byte received after selection (the first is the function command).
    virtual void onByte(std::uint8_t b) = 0;
    // The send queue ran empty at the start of a byte; queue more or leave it (1s follow).
    virtual void onSent() {}
    // Bit mode (channel access).
    virtual int driveBit() { return 1; }
    virtual void onBit(int level) {}
    // Reset pulse; partialByte: a byte was being received and was incomplete.
    virtual void onReset(bool partialByte) {}
    virtual void operationDone(int op) {}
    virtual void operationAborted(int op) {}
    // The node is waiting for a programming pulse: program now, true when taken.
    virtual bool programPulse() { return false; }

    // I/O modes for the family models.
    void receive();
    void send(std::uint8_t b);
    void send(const std::vector<std::uint8_t>& bytes);
    // After the queue: b repeated until reset (0xFF releases the bus).
    void sendRepeating(std::uint8_t b);
    void bitMode();
    void idle();
    void startOperation(int op, Micros duration);

private:
    friend class SimNetwork;
    // How the network the node is on reaches it (simnetwork.cpp): on its own in every
    // slot, through the shared lane that answers the ROM commands for many nodes at
    // once, or not at all while it is unplugged.
    enum class Lane : std::uint8_t { Own, Shared, Off };

    enum class Rom { Command, ReadRom, Match, Search, Function, Idle };
    enum class Io { Idle, Rx, Tx, Bits, Search };

    void romByte(std::uint8_t b);
    void dispatch(std::uint8_t b);
    void loadTxByte();

    RomCode rom_;
    NodeFaults faults_;
    bool knobsHandedOut_ = false;
    bool connected_ = true;
    bool overdrive_ = false;

    Rom romState_ = Rom::Idle;
    Io io_ = Io::Idle;
    std::uint8_t inByte_ = 0;
    int inBits_ = 0;
    std::deque<std::uint8_t> txQueue_;
    std::uint8_t txByte_ = 0xFF;
    int txBits_ = 8;  // 8: the current byte is done
    std::uint8_t repeatByte_ = 0xFF;
    std::vector<std::uint8_t> matchBytes_;
    int searchBit_ = 0;
    int searchSlot_ = 0;

    int pendingOp_ = 0;
    Micros pendingLeft_{0};

    SimNetwork* network_ = nullptr;  // a node is on one network at a time
    Lane lane_ = Lane::Own;
    std::uint64_t laneKey_ = 0;  // the ROM's bits in search order, first bit highest
};

// A node that only answers the ROM commands.
class SimRomOnlyNode final : public SimNode {
public:
    using SimNode::SimNode;
    std::string typeName() const override { return "ROM only"; }

protected:
    void onByte(std::uint8_t) override { idle(); }
};

// The model for a family code (a ROM-only node for families without a model).
std::shared_ptr<SimNode> makeNode(const RomCode& rom);

} // namespace platform::sim
