#pragma once
// Byte, bit and block traffic with the selected node, and the strong pull-up and
// EPROM programming pulses. TMEX branch on the job's session; amplifier branch one
// ":MLAN" payload per primitive, the result read from the reply.

#include "device/memimage/memimage.h"

#include <cstdint>
#include <string>

namespace device {

// Sends b, returns the byte read in the same slots (0 .. 255).
std::uint8_t Touch_Byte(int b);
// Sends bit b, returns the bit read.
int Touch_Bit(int b);
// Moves image.Data[first .. last] over the bus. Write: each position ends up holding
// what the bus returned while it was sent (at most 32 bytes). Read: the bytes read.
void Block_IO(MemImage& image, bool WriteFlag, int first, int last);
// Block_IO over one page (1-based).
void Block_IO_Page(MemImage& image, bool WriteFlag, int page);
// Holds the strong pull-up for ms milliseconds (amplifier: a duration code).
void Strong_Pullup(int ms);
// A command whose node then draws power from the line (copy, conversion): the bytes go
// as Touch_Byte or a Block_IO write does, and the strong pull-up comes on at the end of
// the last byte's last slot and is held for ms, as Strong_Pullup holds it. TMEX: the
// adapter is primed before the last byte; amplifier: Strong_Pullup's payload follows.
std::uint8_t Touch_Byte_Pullup(int b, int ms);
void Block_IO_Pullup(MemImage& image, int first, int last, int ms);
// Programs one EPROM byte; 1 is success. bits: in, bits to program; out, bits left.
int Program_Byte(int value, int address, int memoryType, int& bits, int zeros);

// The amplifier's duration code of a strong pull-up, "" when it has none.
std::string pullupCode(int ms);

} // namespace device
