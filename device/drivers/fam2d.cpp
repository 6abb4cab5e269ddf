#include "device/drivers/fam2d.h"

#include "core/base/message.h"
#include "device/drivers/busblock.h"
#include "device/drivers/pagedwrite.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

#include <string>

namespace device {

namespace {

constexpr int RowSize = 8;
constexpr std::uint8_t RowEndStatus = 0x07;  // ending offset 7, no partial byte
constexpr int CopyPullupMs = 10;

// One 8-byte row at memory address a through the scratchpad.
bool writeRow(const MemImage& mi, int a)
{
    const int ta1 = a & 0xFF;
    const int ta2 = (a >> 8) & 0xFF;
    uLAN_Access();
    command({0x0F, ta1, ta2});
    sendData(mi, a + 1, a + RowSize);

    uLAN_Access();
    const ByteArray status = command({0xAA, ta1, ta2, RowEndStatus});
    // The copy is authorised with what came back: only the row's own address.
    if (status[1] != ta1 || status[2] != ta2 || status[3] != RowEndStatus)
        return false;

    uLAN_Access();
    const ByteArray copy = command({0x55, status[1], status[2], status[3]});
    Strong_Pullup(CopyPullupMs);
    return copy[3] == RowEndStatus;
}

// Tells the user why a page did not take its data.
void reportProtection(int page)
{
    uLAN_Access();
    command({0xF0, 0x80 + page - 1, 0x00});
    MemImage b;
    b.Data.assign(2, 0);
    readData(b, 1, 1);
    const std::string where = "Data memory in page " + std::to_string(page - 1) + " of DS2431, ";
    if (b.Data[1] == 0x55)
        core::MsgBox(where + "is write protected !", platform::MsgOkOnly, "");
    else if (b.Data[1] == 0xAA)
        core::MsgBox(where + "is in EPROM mode !", platform::MsgOkOnly, "");
}

} // namespace

void Read_fam2D(MemImage& mi) { readMemoryPages(mi, 4); }

bool Write_fam2D_Page(MemImage& mi, int page)
{
    if (!pageInImage(mi, page))
        return false;
    if (pageUnchanged(mi, page))
        return true;
    if (!openNode(mi.RomId))
        return false;
    const int base = (page - 1) * mi.PageSize;
    bool ok = true;
    for (int a = base; ok && a < base + mi.PageSize; a += RowSize)
        ok = writeRow(mi, a);
    if (ok) {
        ok = verifyPage(mi, page);
        if (!ok)
            reportProtection(page);
    }
    uLAN_End();
    return ok && !ioFailed();
}

bool Write_fam2D(MemImage& mi) { return writePages(mi, Write_fam2D_Page); }

} // namespace device
