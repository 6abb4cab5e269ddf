#pragma once
// A simulated 1-Wire network (microLAN): a wired-AND bus with device models on it.
//
// Every reset, time slot, strong pull-up and programming pulse is executed against
// the nodes and counted in bus time at the current speed. The bus API below is all a
// master needs: the TMEX layer and the simulated amplifier both drive it directly.
//
// Timing: standard speed (and relaxed) reset with presence 960 us, time slot 65 us;
// overdrive reset with presence 118 us, slot 10 us. Strong pull-ups and programming
// pulses add their own length; idle time between bus events is not bus time.
// A node operation that takes time (copy scratchpad, copy & lock, temperature
// conversion) completes once the line has stayed high for that long after its command:
// strong pull-ups and idle time (taken from platform::clock()) both count. A reset or
// time slot before then cuts the operation off and it has no effect.
//
// Cost: a slot costs the nodes that are busy on their own (selected, working, whose knobs
// were handed out) plus a lookup among the others, which wait in one shared lane for the ROM
// commands; a search step is thus far below the number of nodes, a search pass linear.

#include "platform/base/onewirecrc.h"
#include "platform/base/clock.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace platform::sim {

class SimNode;

using Micros = std::chrono::microseconds;

enum class Speed { Standard = 0, Overdrive = 1, Relaxed = 2 };

struct BusTiming {
    Micros resetPresence;
    Micros slot;
};
inline constexpr BusTiming kStandardTiming{Micros(960), Micros(65)};
inline constexpr BusTiming kOverdriveTiming{Micros(118), Micros(10)};
inline constexpr Micros kProgramPulse{480};
BusTiming timingFor(Speed s);

// 64-bit ROM id in bus order: [0] family code, [1..6] serial number, [7] CRC8.
struct RomCode {
    std::array<std::uint8_t, 8> bytes{};

    std::uint8_t family() const { return bytes[0]; }
    // Family and 48-bit serial; the CRC is computed.
    static RomCode make(std::uint8_t family, std::uint64_t serial);
    // From a node id text (16 hex digits, CRC byte first, family code last).
    static std::optional<RomCode> fromNodeId(const std::string& id);
    // Node id text, upper case, CRC byte first.
    std::string nodeId() const;
    bool crcValid() const;
    bool operator==(const RomCode&) const = default;
    auto operator<=>(const RomCode&) const = default;
};

// One entry of the bus transcript.
struct BusEvent {
    enum Kind { Reset, Bit, Byte, StrongPullup, ProgramPulse, SpeedChange };
    Kind kind = Reset;
    int written = 0;   // Bit/Byte: what the master sent; SpeedChange: the new speed
    int read = 0;      // Bit/Byte: what the bus read back; Reset: 1 = presence;
                       // ProgramPulse: 1 = a node took the pulse
    Micros duration{0};    // StrongPullup, ProgramPulse: their length
    Micros at{0};          // bus time at the start of the event
    Micros idleBefore{0};  // StrongPullup: line time between the previous bus event and
                           // the pull-up (a parasite-powered node needs it within 10 us)
};
std::string formatEvent(const BusEvent& e);

// Fault knobs for tests. Nodes have their own (see SimNode::faults()).
struct NetworkFaults {
    bool noPresence = false;           // resets see no presence, nodes still reset
    std::set<std::uint64_t> flipSlots; // absolute slot numbers whose read bit is inverted
    int failSessionStarts = 0;         // that many session starts are refused
    int sessionStartCode = 0;          // the code a refused start gives (0 = port busy)
};

class SimNetwork {
public:
    SimNetwork();
    ~SimNetwork();
    SimNetwork(const SimNetwork&) = delete;
    SimNetwork& operator=(const SimNetwork&) = delete;

    // --- Bus level -------------------------------------------------------------
    // Reset pulse; true when at least one node answers with a presence pulse.
    bool reset();
    // One time slot: the master writes bit (1 = read slot); result is the wired AND
    // of the master's bit and every node's output.
    int touchBit(int bit);
    // Eight slots, least significant bit first; result is the byte read back.
    std::uint8_t touchByte(std::uint8_t byte);
    // Strong pull-up held from on to off; its length is taken from platform::clock().
    void setStrongPullup(bool on);
    bool strongPullupOn() const { return pullupOn_; }
    // A strong pull-up of a known length (for masters that time it themselves).
    void strongPullup(Micros duration);
    // Programming pulse; true when a node was waiting for one and took it.
    bool programPulse(Micros duration = kProgramPulse);
    void setSpeed(Speed s);
    Speed speed() const { return speed_; }

    // --- Bus time and transcript ----------------------------------------------
    Micros busTime() const { return busTime_; }
    void resetBusTime() { busTime_ = Micros(0); }
    // Number of time slots since the network was made (flip knobs count in these).
    std::uint64_t slotCount() const { return slots_; }
    const std::vector<BusEvent>& transcript() const { return transcript_; }
    void clearTranscript() { transcript_.clear(); }
    void setTranscriptEnabled(bool on) { transcriptOn_ = on; }
    // Oldest events are dropped past this many (0 = no limit).
    void setTranscriptLimit(std::size_t n) { transcriptLimit_ = n; }
    // One line per event.
    std::string transcriptText() const;

    // --- Nodes ------------------------------------------------------------------
    // Plugs a node in (it takes part from the next reset on). A node with the same
    // ROM replaces the one there; a node on another network is unplugged there first.
    SimNode& addNode(std::shared_ptr<SimNode> node);
    // Unplugs a node; returns it (nullptr when there was none) so it can be plugged in again.
    std::shared_ptr<SimNode> removeNode(const RomCode& rom);
    SimNode* findNode(const RomCode& rom) const;
    const std::vector<std::shared_ptr<SimNode>>& nodes() const { return nodes_; }
    void clearNodes();

    NetworkFaults& faults() { return faults_; }
    // Inverts the read bit of the n-th slot from now (n = 1: the next slot).
    void flipBitAfter(std::uint64_t n) { faults_.flipSlots.insert(slots_ + n - 1); }

    // Consumes one refused session start; returns the code when refused (TMEX layer).
    std::optional<int> takeSessionFault();

    // --- Description file -------------------------------------------------------
    // The plain-text description of a simulated network. One statement per line; '#'
    // starts a comment; keywords are not case-sensitive; a statement after "node" applies
    // to that node:
    //   node <id>                    16 hex digits, CRC byte first and family code last,
    //                                or <family>:<12 hex digits of serial> (CRC computed)
    //   memory <address> <bytes>     hex address, hex bytes (pairs, blanks optional)
    //   tds <file>                   a TEDS memory file, packed into checksummed pages
    //                                (14h: the "IEEE P1451.4" layout fills the data memory;
    //                                the other layout also locks TEDS bytes 1..8 into the
    //                                application register)
    //   temperature <celsius>        10h
    //   conversion <ms>              10h: conversion time
    //   chip DS1820|DS18S20          10h: the chip (conversion 500 or 750 ms)
    //   inputs <0|1> <0|1>           12h: levels put on PIO A and B from outside
    //   flipflops <0|1> <0|1>        12h: channel flip-flops (1 = output off)
    //   status <address> <bytes>     12h: status memory
    //   powered                      12h: supply on VCC
    //   register <bytes>             14h: application register (8 bytes)
    //   locked                       14h: application register locked
    //   protect <page> open|write|eprom   2Dh: page protection
    //
    // Replaces the nodes by those of a description text; relative file names in it
    // are taken from baseDir. Nodes whose ROM is in both keep their state.
    // false with error set ("line <n>: ...", nothing changed) when the text is wrong.
    bool loadDescription(const std::string& text, const std::filesystem::path& baseDir,
                         std::string& error);
    bool loadFile(const std::filesystem::path& file, std::string& error);
    // The file last loaded; reload() reads it again.
    const std::filesystem::path& sourceFile() const { return source_; }
    bool reload(std::string& error);
    // Reads the file again when it was changed since it was last read (or tried):
    // edits made while the program runs plug nodes in and out. A file that does not
    // load keeps the network as it was (error says why) and is tried again after its
    // next change.
    enum class Reload { Unchanged, Reloaded, Failed };
    Reload reloadIfChanged(std::string& error);

private:
    friend class SimNode;

    void record(const BusEvent& e);
    void beginActivity();
    void idleElapse();
    Micros idleSoFar() const;
    void endPullup();
    void powerNodes(Micros d);
    bool partakes(const SimNode& n) const;

    // --- The shared lane (simnetwork.cpp) -----------------------------------------
    void attach(const std::shared_ptr<SimNode>& n);
    void detach(SimNode& n);
    void replaceNodes(std::vector<std::shared_ptr<SimNode>> next);
    // A node's connection or knobs are about to change.
    void nodeChanged(SimNode& n);
    // From the lane to its own slots, in the state the lane's slots left it in.
    void takeOut(SimNode& n);
    void takeOutAll();
    bool laneEligible(const SimNode& n) const;
    bool laneActive() const;
    int laneDrive() const;
    void laneSample(int level);
    void laneNarrow(int level);
    // A lane node whose key lies in lo .. hi.
    bool laneHas(std::uint64_t lo, std::uint64_t hi) const;

    // What the nodes in the lane have done since the reset that began the phase: they
    // all received the same ROM command; a search or Match ROM narrows them to the nodes
    // whose first `depth` ROM bits (in search order) are `prefix`.
    struct LanePhase {
        enum Kind { Over, Command, Search, Match } kind = Over;
        std::vector<std::uint8_t> levels;  // every slot level the lane sampled
        std::uint8_t command = 0;
        int bits = 0;   // command bits received
        int slot = 0;   // search: 0 bit, 1 complement, 2 direction
        int depth = 0;
        std::uint64_t prefix = 0;
        // Once one node is left its key answers the rest of the search.
        bool single = false;
        std::uint64_t singleKey = 0;
    };

    std::vector<std::shared_ptr<SimNode>> nodes_;
    std::map<RomCode, std::shared_ptr<SimNode>> byRom_;
    std::vector<SimNode*> own_;                // nodes that take part in every slot themselves
    std::map<std::uint64_t, SimNode*> lane_;   // the others, by their lane key
    LanePhase phase_;
    std::vector<SimNode*> slotNodes_;          // the own nodes that partake in this slot
    std::vector<SimNode*> poweredNodes_;       // the own nodes that idle time reaches
    Speed speed_ = Speed::Standard;
    Micros busTime_{0};
    std::uint64_t slots_ = 0;
    bool pullupOn_ = false;
    platform::TimePoint pullupStart_{};
    Micros pullupIdleBefore_{0};
    platform::Clock* clockUsed_ = nullptr;   // the clock lastActivity_ was taken from
    platform::TimePoint lastActivity_{};
    bool inByte_ = false;
    std::vector<BusEvent> transcript_;
    bool transcriptOn_ = true;
    std::size_t transcriptLimit_ = 20000;
    NetworkFaults faults_;
    std::filesystem::path source_;
    std::filesystem::file_time_type sourceTime_{};  // when the file last read (or tried) was written
};

// CRCs of the 1-Wire devices.
using platform::crc16;
using platform::crc8;

} // namespace platform::sim
