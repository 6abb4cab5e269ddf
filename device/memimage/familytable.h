#pragma once
// The one table of 1-Wire families: per family code the chip, the node list's record
// name and record-node text, the kind of node window, the memory geometry, whether
// its memory can be erased and how the TEDS window names and reads it. The memory image, the drivers, the node list and the shell
// read it; a new family is one new row (and, for a memory, its driver's read and write).

#include <span>
#include <string>

namespace device {

// Family codes under their one name.
inline constexpr int FamilyThermometer = 0x10;
inline constexpr int FamilyDS2406 = 0x12;
inline constexpr int FamilyDS2430A = 0x14;
inline constexpr int FamilyDS2433 = 0x23;
inline constexpr int FamilyDS2431 = 0x2D;
inline constexpr int FamilyAdapter9097U = 0x09;   // id chip of the serial adapter
inline constexpr int FamilyAdapter9490R = 0x81;   // id chip of the USB adapter
inline constexpr int FamilySerialNo1394 = 0x89;

// The node window a family gets.
enum class NodeKind { Thermometer, DualSwitch, Memory, Unsupported };

struct FamilyInfo {
    int code = 0;
    const char* chip = "";        // e.g. "DS2433"
    const char* recordName = "";  // the first record's name in the node list ("" for none)
    const char* nodeText = "";    // record-node text of a node that holds no TEDS memory
    NodeKind kind = NodeKind::Unsupported;
    // Memory as the drivers move it: pages of pageSize bytes (data memory only), and the
    // bytes of an application register that a full image puts in front of them.
    int pages = 0;
    int pageSize = 0;
    int registerBytes = 0;
    bool erasable = false;        // EEPROM: an erase writes FFh throughout
    // The TEDS window's short name and raw-view device text ("" for a family it calls
    // "Unknown"), and the tries a read gets at most (0: as many as the interface allows).
    const char* tedsName = "";
    const char* tedsDevice = "";
    int readTries = 0;
};

// Every row of the table, in table order.
std::span<const FamilyInfo> familyRows();

// The row of a family code; a row with kind Unsupported and no memory for a code the
// table does not know.
const FamilyInfo& familyInfo(int code);
// The family keeps an application register in front of its data (DS2430A): its lock
// belongs to the node's TEDS.
inline bool hasAppRegister(int code) { return familyInfo(code).registerBytes > 0; }

} // namespace device
