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
constexpr int RowEndStatus = 0x07;  // ending offset 7, no partial byte
constexpr int CopyPullupMs = 10;

// One 8-byte row at memory address a through the scratchpad: written, read back with
// its CRC16 (E/S read from the node, so a partial byte or an earlier copy shows), and
// copied only when it holds exactly the row. refused: the scratchpad held other
// bytes at the right address, as a protected page makes it.
bool writeRow(const MemImage& mi, int a, bool& refused)
{
    uLAN_Access();
    sendCommandAndData({0x0F, a & 0xFF, (a >> 8) & 0xFF}, mi, a + 1, a + RowSize);

    uLAN_Access();
    const Scratchpad pad = readScratchpad(mi, a, RowEndStatus, RowSize, true);
    refused = pad == Scratchpad::WrongData;
    if (pad != Scratchpad::Holds)
        return false;
    return copyScratchpad(a, RowEndStatus, CopyPullupMs);
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

void Read_fam2D(MemImage& mi) { readMemoryPages(mi, familyInfo(FamilyDS2431).pages); }

bool Write_fam2D_Page(MemImage& mi, int page)
{
    if (!pageInImage(mi, page))
        return false;
    if (pageUnchanged(mi, page))
        return true;
    // The first row's scratchpad, read back with a valid CRC, proves that the node answered.
    if (!openNode(mi.RomId, NodeProof::Reply))
        return false;
    const int base = (page - 1) * mi.PageSize;
    bool ok = true;
    bool refused = false;
    for (int a = base; ok && a < base + mi.PageSize; a += RowSize)
        ok = writeRow(mi, a, refused);
    if (ok) {
        ok = verifyPage(mi, page);
        refused = !ok;
    }
    // A page that did not take its data: the protection byte tells the user why.
    if (refused)
        reportProtection(page);
    uLAN_End();
    return ok && !ioFailed();
}

bool Write_fam2D(MemImage& mi) { return writePages(mi, Write_fam2D_Page, RowSize); }

} // namespace device
