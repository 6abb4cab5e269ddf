#pragma once
// The raw image of one 1-Wire memory node as the drivers move it: pages, each led by
// a checksum byte. Index 0 of Data holds no memory byte; memory address a is Data[a + 1].

#include "device/memimage/familytable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace device {

using ByteArray = std::vector<std::uint8_t>;


struct MemImage {
    std::string RomId;       // 16 hex digits, CRC first, family code last
    bool RomUsed = true;     // geometry: DS2430A image holds the register; after a read: register locked
    int Pages = 0;
    int PageSize = 0;        // bytes per page, checksum byte included
    bool ChecksumOK = false;
    bool ReadOK = false;
    bool DeviceKnown = false;  // DeviceData holds what the node held when last read
    ByteArray DeviceData;      // indexed as Data
    ByteArray Data;            // 0 .. Pages x PageSize

    int byteCount() const { return Pages * PageSize; }
    // Data sized 0 .. Pages x PageSize, new bytes set to fill (existing bytes kept).
    void dimension(std::uint8_t fill = 0);
};

// Pages, page size and usable TEDS bytes of a family for a layout flag (true: the
// P1451.4 layout, 8 bytes of page 1 kept free; a memory with an application register:
// the data memory only, else register and data memory as one page).
struct PageGeometry {
    int Pages = 0;
    int PageSize = 0;
    int Usable = 0;
    bool RomUsed = true;
};
PageGeometry pageGeometry(int family, bool draftLayout);

int Get_Usable_Bytes(int family, bool draftLayout);

// Writes the checksum byte of every page, then ChecksumOK := true.
void Set_Page_Checksums(MemImage& mi);
// Writes Data[9], the checksum of the whole 40-byte DS2430A image, then ChecksumOK := true.
void Set_fam14_Checksum(MemImage& mi);
// ChecksumOK := every tested page sums to 0 modulo 256 (page 1 only when onlyFirst).
void Check_Page_Checksums(MemImage& mi, bool onlyFirst);
// The checksum byte that makes sum(bytes) + checksum = 0 modulo 256.
std::uint8_t checksumFor(unsigned sum);

// dst gets src's geometry, flags and bytes; DeviceKnown := false, DeviceData not copied.
void Copy_MemImage(const MemImage& src, MemImage& dst);

} // namespace device
