#pragma once
// A simulated network of many memory nodes that each hold their own TEDS: the TEDS of a
// memory file (newer layout) with a serial number of its own per node, packed into a
// DS2431's four checksummed pages, as a network description text.

#include <cstdint>
#include <filesystem>
#include <string>

namespace testing_support {

// count DS2431 nodes 2D:<firstRom + i>; node i holds the TEDS of tdsFile with serial
// number firstSerial + i (bits 40 .. 63 of the TEDS).
std::string tedsNodesDescription(const std::filesystem::path& tdsFile, int count, long firstSerial,
                                 unsigned long long firstRom);

// The node id text (CRC byte first, family code last) of a family and a 48-bit serial.
std::string nodeIdText(int family, std::uint64_t serial);

} // namespace testing_support
