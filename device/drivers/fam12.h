#pragma once
// Family 12h, DS2406: a dual switch with 128 bytes of one-time programmable EPROM
// (4 pages of 32). Programmed bits only go from 1 to 0.

#include "device/memimage/memimage.h"

namespace device {

// Reads the 128 bytes into mi (4 x 32) and rewrites the two older contents into the
// page layout (Repair_MemImage). ReadOK tells whether the read happened.
void Read_fam12(MemImage& mi);
// The read without the repair: what the node holds.
void readFam12Raw(MemImage& mi);

// Moves a node list or an early TEDS content of page 1 into the P1451.4 page layout
// (only when page 1's checksum is right). The node is not changed.
void Repair_MemImage(MemImage& mi);

// Only DS2406 nodes in the node list, and the TMEX interface; each failing condition
// shows its message.
bool Check_Only_fam12();

// Programs the image: checks the preconditions, refuses an image that needs a bit
// programmed back to 1, programs from the first byte that differs from the node to
// the last byte that is not FFh, and reads the node back. True when the node then
// holds the image byte for byte.
bool Write_fam12(MemImage& mi);

} // namespace device
