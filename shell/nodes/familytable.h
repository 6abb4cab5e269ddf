#pragma once
// What the node list makes of each 1-Wire family, read from the device layer's family
// table: the window kind, the record's name and the text of its record node.

#include "device/memimage/familytable.h"

#include <cstdint>
#include <string>

namespace shell {

using FamilyKind = device::NodeKind;

using device::FamilyAdapter9097U;
using device::FamilyAdapter9490R;

FamilyKind familyKind(int family);
// The first record's name ("Thermometer", "Switch & PROM", ...); empty for a family
// the table does not name.
std::string familyRecordName(int family);
// The record-node text of a family's first record, given the memory state the TEDS
// window reported (memory families) or ignoring it (the others).
std::string recordNodeText(int family, std::int32_t state);

// The second record of a family 12h node.
inline const char* const kSwitchRecordName = "Switch w. prom (family 12H)";
inline const char* const kSwitchNodeText = "Switch";
inline constexpr int kSwitchRecordFamily = device::FamilyDS2406;

// Adapter id chips.
inline const char* const kAdapter9097UTitle = "Dallas DS9097/U";
inline const char* const kAdapter9490RTitle = "Dallas DS9490/R";
inline const char* const kAdapterChipText = "programming not supported";

} // namespace shell
