#include "device/drivers/fam23.h"

#include "device/drivers/busblock.h"
#include "device/drivers/pagedwrite.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

namespace device {

namespace {

constexpr std::uint8_t PageEndStatus = 0x1F;  // ending offset 31, no partial byte
constexpr int CopyPullupMs = 6;

} // namespace

void Read_fam23(MemImage& mi) { readMemoryPages(mi, 16); }

bool Write_fam23_Page(MemImage& mi, int page)
{
    if (!pageInImage(mi, page))
        return false;
    if (pageUnchanged(mi, page))
        return true;
    if (!openNode(mi.RomId))
        return false;
    const int base = (page - 1) * mi.PageSize;
    const int ta1 = base & 0xFF;
    const int ta2 = (base >> 8) & 0xFF;
    command({0x0F, ta1, ta2});
    sendData(mi, base + 1, base + mi.PageSize);

    uLAN_Access();
    const ByteArray status = command({0xAA, 0xFF, 0xFF, 0xFF});
    // The copy is authorised with the address read back: one that is not the page's
    // would write the page's data over another page.
    bool ok = status[1] == ta1 && status[2] == ta2 && status[3] == PageEndStatus;
    if (ok) {
        uLAN_Access();
        command({0x55, status[1], status[2], status[3]});
        Strong_Pullup(CopyPullupMs);
        ok = verifyPage(mi, page);
    }
    uLAN_End();
    return ok && !ioFailed();
}

bool Write_fam23(MemImage& mi) { return writePages(mi, Write_fam23_Page); }

} // namespace device
