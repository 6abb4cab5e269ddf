#include "device/drivers/fam23.h"

#include "device/drivers/busblock.h"
#include "device/drivers/pagedwrite.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

namespace device {

namespace {

constexpr int PageEndStatus = 0x1F;  // ending offset 31, no partial byte
constexpr int CopyPullupMs = 6;

} // namespace

void Read_fam23(MemImage& mi) { readMemoryPages(mi, familyInfo(FamilyDS2433).pages); }

bool Write_fam23_Page(MemImage& mi, int page)
{
    if (!pageInImage(mi, page))
        return false;
    if (pageUnchanged(mi, page))
        return true;
    // The scratchpad read back proves that the node answered.
    if (!openNode(mi.RomId, NodeProof::Reply))
        return false;
    const int base = (page - 1) * mi.PageSize;
    sendCommandAndData({0x0F, base & 0xFF, (base >> 8) & 0xFF}, mi, base + 1, base + mi.PageSize);

    // Copied only when the scratchpad holds the page at the page's own address: another
    // address would write the page's data over another page.
    uLAN_Access();
    bool ok = readScratchpad(mi, base, PageEndStatus, mi.PageSize, false) == Scratchpad::Holds;
    if (ok)
        ok = copyScratchpad(base, PageEndStatus, CopyPullupMs);
    if (ok)
        ok = verifyPage(mi, page);
    uLAN_End();
    return ok && !ioFailed();
}

bool Write_fam23(MemImage& mi) { return writePages(mi, Write_fam23_Page); }

} // namespace device
