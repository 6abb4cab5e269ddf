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
// Each page tried up to twice; false at the first page that fails both tries.
bool writePages(MemImage& mi, bool (*writePage)(MemImage&, int));

} // namespace device
