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
// Reads the page (1-based) from the selected node into page (PageSize bytes, 1-based).
bool readPage(const MemImage& mi, int page, ByteArray& bytes);
// Writes the pages that differ from what the node held (all when that is not known),
// each tried up to twice; false at the first page that fails both tries. The node
// copies its scratchpad in units of unitSize bytes (a whole page when 0). A write of
// more than one unit is ordered so that a cut one reads back as a failed checksum: the
// first changed page goes first with a checksum byte that makes it fail in every state
// its units can be left in, the other pages follow, and that page comes again last with
// its own checksum, which changes its first unit only. driverState().lastWrite counts.
bool writePages(MemImage& mi, bool (*writePage)(MemImage&, int), int unitSize = 0);

} // namespace device
