#pragma once
// Module-level state of the 1-Wire access: the TMEX session of the running device job,
// the TMEX state buffer and the ROM of the node to select. The shared flags
// (InterfaceType, SessionError, SetupDone, AmpAddressing, ...) are in device/base.

#include "platform/onewire/tmex.h"

#include <cstdint>

namespace device {

struct OneWireState {
    // Current TMEX session; 0 or less is a failed start.
    std::int32_t SessionHandle = 0;
    // Passed to every TMEX call that takes a state; never looked into.
    platform::TmexStateBuffer TmexState{};
    // ROM bytes of the node to select, element 0 = family code; element 8 unused.
    platform::TmexRom RomBuffer{};
    // Set by a failed selection, a failed re-addressing, a TMEX error code of a byte,
    // bit or level call, and an empty or short amplifier reply. Cleared by the
    // selection that starts a device job, so a driver can tell a read that did not
    // happen from one that read zeros.
    bool IoError = false;
    // The last search step found a node. After the pass's last node the next step ends
    // the pass without a search on the bus, so it proves nothing about the line.
    bool LastStepFound = false;
};

OneWireState& oneWireState();
void resetOneWireState();

} // namespace device
