#pragma once
// What the page writers of the scratchpad EEPROMs share.

#include "device/memimage/memimage.h"

namespace device {

// The page (1-based) is one of the image's pages and the image holds all its bytes.
bool pageInImage(const MemImage& mi, int page);
// The page (1-based) equals what the node held when it was read, so nothing is sent.
bool pageUnchanged(const MemImage& mi, int page);
// Reads the page from the selected node (read memory from the page's address) and
// compares it with the image; a page that reads all FFh also needs the node to
// still answer.
bool verifyPage(const MemImage& mi, int page);
enum class Scratchpad {
    Holds,      // the bytes sent, at the target address
    WrongPlace, // another address or status, or the node did not answer
    WrongData,  // right address, other bytes (a protected page) or a wrong CRC
};
// Reads the scratchpad back ([AA FF FF FF] and what follows): it holds what was sent
// when it names the target address a with the ending status es (no partial byte, no
// copy yet) and the n bytes that follow equal mi.Data[a + 1 .. a + n]. withCrc: the
// inverted CRC16 of the command and everything read follows and must be right. On the
// amplifier link nothing more is read once the address is wrong; the adapter reads it
// all in one exchange.
Scratchpad readScratchpad(const MemImage& mi, int a, int es, int n, bool withCrc);
// Copies the scratchpad with the authorisation [55 TA1 TA2 E/S], holds the pull-up for
// ms and reads the byte that follows: true when the node reports the copy done (AAh).
bool copyScratchpad(int a, int es, int ms);
// Each page tried up to twice; false at the first page that fails both tries.
bool writePages(MemImage& mi, bool (*writePage)(MemImage&, int));

} // namespace device
