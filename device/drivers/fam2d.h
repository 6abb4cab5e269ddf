#pragma once
// Family 2Dh, DS2431: 128 bytes of EEPROM in 4 pages of 32, written through an
// 8-byte scratchpad row by row; page protection bytes at 80h .. 83h.

#include "device/memimage/memimage.h"

namespace device {

// Reads the 128 bytes into mi (4 x 32).
void Read_fam2D(MemImage& mi);

// Writes every page that differs from what the node held (DeviceKnown), each tried
// twice; false at the first page that fails both tries.
bool Write_fam2D(MemImage& mi);
// One page (1-based): four rows through the scratchpad, then the page read back.
bool Write_fam2D_Page(MemImage& mi, int page);

} // namespace device
