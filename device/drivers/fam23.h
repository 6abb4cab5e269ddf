#pragma once
// Family 23h, DS2433: 512 bytes of EEPROM in 16 pages of 32, written a page at a time
// through a 32-byte scratchpad.

#include "device/memimage/memimage.h"

namespace device {

// Reads the 512 bytes into mi (16 x 32).
void Read_fam23(MemImage& mi);

// As Write_fam2D, page by page, two tries each.
bool Write_fam23(MemImage& mi);
// One page (1-based): scratchpad, authorised copy, page read back.
bool Write_fam23_Page(MemImage& mi, int page);

} // namespace device
