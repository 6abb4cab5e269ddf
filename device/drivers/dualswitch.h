#pragma once
// Family 12h, DS2406 dual addressable switch: the levels of channels A and B, their
// output latches, their state at power-up and the status memory.

#include <string>

namespace device {

// The sensed levels. Failed (and the levels untouched) when the id is not of family
// 12h, the node cannot be selected or the read saw an I/O error.
void Read_PIO_fam12(const std::string& RomId, bool& PioA, bool& PioB, bool& Failed);

// Sets the two output latches (true = output 1); a node that cannot be selected is
// left alone.
void Set_PIO_fam12(const std::string& RomId, bool PioA, bool PioB);

// Programs the channels' power-up state into the status memory (only DS2406 nodes on
// the bus, TMEX interface).
void Program_Powerup_fam12(const std::string& RomId, bool PioA, bool PioB);

// The eight status bytes, each as a blank and two hex digits ("" when the node cannot
// be selected).
std::string readStatusText(const std::string& RomId);
// Shows "Status on family 12 is:" and the status bytes; returns the text shown.
std::string Show_Status_fam12(const std::string& RomId);

} // namespace device
