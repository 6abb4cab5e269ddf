#pragma once
// The 1-Wire master of one simulated amplifier channel: runs the payload of a ":MLAN"
// line against the channel's simulated network and builds the answer that ":MLAN?"
// returns.
//
// Payload grammar (hex bytes; "len" counts the bytes that follow it in the command):
//
//   payload  = *command [ "85" *byte ]        ; 85: end of the list, the rest is ignored
//   command  = "80"                           ; reset pulse
//            / "81"                           ; search: the next node into the ROM register
//            / "82"                           ; reset, match ROM (55h) with the ROM register
//            / "00" len *8byte                ; ROM register: len 8 loads it, len 0 only reads it
//            / "01" len *byte                 ; new search: the next "81" starts from the first node
//            / "03" "00"                      ; line back to its normal level
//            / "03" "01" mode duration        ; strong pull-up; duration 80 = 32 ms, 81 = 64 ms,
//                                             ;   82 = 128 ms, 83 = 512 ms, 84 = 1024 ms
//            / "09" len count *bit            ; count time slots; the given bits (00/01) first,
//                                             ;   read slots (1) for the rest
//            / "0A" len count *byte           ; count bytes; the given bytes first, FFh for the rest
//
// Answer: one record per command, in order, preceded by one byte that counts the
// bytes of all records:
//
//   answer   = count *record
//   record   = "80" status                    ; 00 presence, 04 no presence
//            / "81" status                    ; 00 a node was found, 01 no further node
//            / "82" status                    ; as for 80
//            / "00" "08" 8byte                ; the ROM register, family code first
//            / "01" "00" / "03" "00"
//            / "09" count count*bit           ; the bits read, one byte each
//            / "0A" count count*byte          ; the bytes read back
//            / op "FE"                        ; not supported by a single-node master; ends the run
//            / op "FF"                        ; malformed command; ends the run
//
// Example: search on a bus with one node, "8081000085", answers
// 0E 80 00 81 00 00 08 <ROM>; read ROM on a single-node channel, "800A02093385",
// answers 0D 80 00 0A 09 33 <ROM>.

#include "sim/onewire/simnetwork.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

enum class MasterMode {
    MultiDrop,  // addresses nodes by ROM id, searches the bus
    SingleNode, // one node, no addressing: no search, no ROM register, no match ROM
};

using Bytes = std::vector<std::uint8_t>;

// Hex text (pairs of hex digits) to bytes; nullopt for anything else.
std::optional<Bytes> hexToBytes(const std::string& hex);
std::string bytesToHex(const Bytes& bytes);

class MlanMaster {
public:
    MlanMaster(SimNetwork& network, MasterMode mode) : net_(&network), mode_(mode) {}

    // Runs a payload; returns the answer (count byte and records).
    Bytes run(const Bytes& payload);

    MasterMode mode() const { return mode_; }
    void setMode(MasterMode m) { mode_ = m; }
    SimNetwork& network() { return *net_; }
    const std::array<std::uint8_t, 8>& romRegister() const { return rom_; }
    // Forgets the search position.
    void newSearch();

private:
    bool searchNext();
    bool accessRegister();

    SimNetwork* net_;
    MasterMode mode_;
    std::array<std::uint8_t, 8> rom_{};
    // Search position: the last discrepancy, and whether the last node was reached.
    int lastDiscrepancy_ = 0;
    bool lastNode_ = false;
};

} // namespace platform::sim
