#pragma once
// Packing the TEDS bytes of a TedsBuf into the page image of its node family, and
// unpacking an image read from a node.

#include "device/memimage/memimage.h"

namespace core {
struct TedsBuf;
}

namespace device {

// RomUsed := true, then Pages, PageSize and tb.Size from tb's family and layout flag
// (DS2430A with the flag: RomUsed := false). Other families: 0, 0 and 0.
void Set_Geometry(core::TedsBuf& tb, MemImage& mi);
// Only tb.Size changes.
void Set_Usable_Bytes(core::TedsBuf& tb);

// A fresh image for writing: FFh everywhere a TEDS byte does not go, page checksums set.
void Build_MemImage(core::TedsBuf& tb, MemImage& mi);

// The layout flag an image read from a node decodes in. DS2430A: the 40-byte layout
// only for a locked register read in full (and not blank); otherwise the data memory.
bool decodeDraftLayout(const MemImage& mi, int family);

// After a read: checks the checksums of the layout chosen, sets tb's state (3 read ok,
// 4 CRC error), layout flag and size, and unpacks the TEDS bytes and bits.
void Check_And_Decode(MemImage& mi, core::TedsBuf& tb);

} // namespace device
