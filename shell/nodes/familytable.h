#pragma once
// What the node list makes of each 1-Wire family: the window kind, the record's name
// and the text of its record node.

#include <cstdint>
#include <string>

namespace shell {

enum class FamilyKind { Thermometer, DualSwitch, Memory, Unsupported };

inline constexpr int FamilyThermometer = 0x10;
inline constexpr int FamilyDualSwitch = 0x12;
inline constexpr int FamilyAppRegister = 0x14;
inline constexpr int Family4kEeprom = 0x23;
inline constexpr int Family1kEeprom = 0x2D;
inline constexpr int FamilyAdapter9097U = 0x09;
inline constexpr int FamilyAdapter9490R = 0x81;
inline constexpr int FamilySerialNo1394 = 0x89;

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
inline constexpr int kSwitchRecordFamily = 18;

// Adapter id chips.
inline const char* const kAdapter9097UTitle = "Dallas DS9097/U";
inline const char* const kAdapter9490RTitle = "Dallas DS9490/R";
inline const char* const kAdapterChipText = "programming not supported";

} // namespace shell
