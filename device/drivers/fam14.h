#pragma once
// Family 14h, DS2430A: 32 bytes of EEPROM data memory and an 8-byte application
// register that is locked for good by its copy command.

#include "device/memimage/memimage.h"

#include <optional>
#include <string>

namespace device {

// The node that always reads as a 32-byte image.
inline constexpr const char* kFam14ShortImageId = "6300000017A98B14";

// Reads the node into mi: RomUsed := the register is locked. A locked register, or
// fullImage, gives the 40-byte image (register at Data[1 .. 8], data memory at
// Data[9 .. 40]); otherwise the 32-byte data memory at Data[1 .. 32].
void Read_fam14(MemImage& mi, bool fullImage);

// Whether the node's application register is locked; nullopt when it cannot be read.
std::optional<bool> fam14RegisterLocked(const std::string& RomId);

// Writes the image (40 bytes with the register when RomUsed, else the 32-byte data
// memory), reads it back and compares; a register that is not locked yet is written
// and, once the data compare, locked (asking first unless confirmed).
bool Write_fam14(MemImage& mi, bool& confirmed);

} // namespace device
