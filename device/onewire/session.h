#pragma once
// Opening and closing the access to 1-Wire nodes: one search step, the selection of
// a node at the start of a device job, re-addressing between two commands, the end of
// the job, and the bus speed. Each hands its work to the bus master InterfaceType
// picks (onewiremaster.h): the TMEX adapter or the amplifier's ":MLAN" pass-through.
//
// A device job: uLAN_SelectNode_Access, primitives, uLAN_Access before each further
// command, uLAN_End (also after a failed selection: it is harmless then). The job
// proves once that its node answered, at the selection or by a reply it checks; the
// accesses after that only address the node.

#include "device/onewire/onewiremaster.h"

#include <cstdint>
#include <optional>
#include <string>

namespace device {

// One step of the node search. Outputs are cleared first. Result: TMEX, the session
// was opened; amplifier, a node was found; empty for any other interface type.
// Done ends the pass.
std::optional<bool> uLAN_FindNext(bool& Found, bool& Done, std::string& RomId, int& Family);

// Selects the node with that id (CRC first, family code last) and, on TMEX, opens the
// job's session. False when the session could not be opened or the node did not answer
// (the session is then already ended).
bool uLAN_SelectNode_Access(const std::string& RomId);
// The selection of a job that proves its node itself (NodeProof::Reply: it checks a
// reply only the node can give), or that searches for it as uLAN_SelectNode_Access.
bool selectNode(const std::string& RomId, NodeProof proof);
// Addresses the selected node again before the next command of the job. The node
// answered at the selection: this only matches its ROM again.
void uLAN_Access();
// Proves once more that the selected node answers (TMEX: a search for it; amplifier:
// a reset must find a node), and addresses it again.
bool nodeStillAnswers();
// Ends the device job: the TMEX session, or "MLAN OFF" on the amplifier link.
void uLAN_End();

// Bus speed through TMOneWireCom: 0 normal, 1 overdrive, 2 relaxed.
void Set_Speed(std::int32_t session, int speed);
void Get_Speed(std::int32_t session, int& speed);
// Shows the speed frame and applies the chosen speed while the DS9097U driver is checked.
void Apply_Speed();

// The node id text of a TMEX ROM array (element 7, the CRC, first).
std::string romToNodeId(const std::int16_t* rom);

} // namespace device
