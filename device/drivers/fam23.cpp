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
    if (pageUnchanged(mi, page))
        return true;
    if (!openNode(mi.RomId))
        return false;
    const int base = (page - 1) * mi.PageSize;
    command({0x0F, base & 0xFF, (base >> 8) & 0xFF});
    sendData(mi, base + 1, base + mi.PageSize);

    uLAN_Access();
    const ByteArray status = command({0xAA, 0xFF, 0xFF, 0xFF});
    bool ok = status[3] == PageEndStatus;
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
