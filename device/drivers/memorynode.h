#pragma once
// Reading, writing and erasing the TEDS memory of a node: the entry points the TEDS
// editor, the node-list writer and the request server use. The node and its driver
// are chosen by the image's node id and family code.

#include "core/teds/tedsbuf.h"
#include "device/drivers/driverstate.h"
#include "device/memimage/memimage.h"

namespace device {

// The driver of one memory family (geometry and names are in the family table).
struct MemoryDriver {
    int family;
    void (*read)(MemImage& mi, bool fullImage);
    // Writes the packed image; confirmed: the user agreed to programming for good;
    // attempted := false when nothing was sent because the user said no.
    bool (*write)(const core::TedsBuf& tb, MemImage& mi, bool& confirmed, bool& attempted);
    // Writes the erased image (nullptr: the family cannot be erased).
    bool (*erase)(MemImage& mi);
};
// nullptr for a family without a memory driver.
const MemoryDriver* memoryDriver(int family);

// Reads the node into tb: its raw image, read flag and state (3 read ok, 4 CRC error,
// 5 virgin: every byte FFh, 1 nothing read), layout flag, bytes and bits. fullImage
// asks a DS2430A read for its application register too; a DS2430A read sets
// AppRomLocked.
void Read_Node(core::TedsBuf& tb, bool fullImage);

// Writes tb into the node and verifies it; true when the node now holds the image.
// A DS2406 EPROM and a DS2430A application register are programmed only once the
// user (or, with confirmed true, the caller) agreed; confirmed receives the answer.
// On success tb's raw image is what was written; after a failed write it no longer
// counts as the node's content. *report (when given) says how far the write got.
bool Write_Node(core::TedsBuf& tb, bool& confirmed, WriteReport* report = nullptr);

// How far a failed write got, for its answer: "nothing reached the node" or "3 of 7
// changed pages reached the node" (", one more may have"); a write the writer did not
// count: "part of it may have reached the node".
std::string failedWriteText(const WriteReport& report);

// Fills the node's memory with FFh (DS2430A data memory, DS2431, DS2433). Afterwards
// tb's raw image no longer counts as the node's content.
bool Erase_Node(core::TedsBuf& tb);

} // namespace device
