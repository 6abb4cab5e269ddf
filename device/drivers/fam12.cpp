#include "device/drivers/fam12.h"

#include "core/base/message.h"
#include "device/base/devicestate.h"
#include "device/drivers/busblock.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

#include <string>

namespace device {

namespace {

constexpr std::uint8_t Erased = 0xFF;

std::uint8_t& at(MemImage& mi, int i) { return mi.Data[static_cast<std::size_t>(i)]; }

void message(const std::string& text) { core::ShowMessage(text, platform::MsgOkOnly, ""); }

// The first byte (1-based) whose programming would need a 0 bit of the node back at 1,
// 0 when every byte can be programmed.
int firstUnprogrammable(const MemImage& wanted, const MemImage& node, int n)
{
    for (int i = 1; i <= n; ++i) {
        const unsigned want = wanted.Data[static_cast<std::size_t>(i)];
        const unsigned have = node.Data[static_cast<std::size_t>(i)];
        if ((want & ~have & 0xFFu) != 0)
            return i;
    }
    return 0;
}

// Programs Data[first .. last] of the selected node; false after a failed byte.
bool programBytes(const MemImage& mi, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        const int value = mi.Data[static_cast<std::size_t>(i)];
        int bits = 8;
        const int result = Program_Byte(value, i - 1, 0, bits, 0);
        if (result != 1) {
            message("Write error # " + std::to_string(result) + ", bits left: " + std::to_string(bits) +
                    " Byte address: " + std::to_string(i - 1) + " Byte being written: " + std::to_string(value));
            return false;
        }
    }
    return true;
}

} // namespace

void readFam12Raw(MemImage& mi) { readMemoryPages(mi, familyInfo(FamilyDS2406).pages); }

void Read_fam12(MemImage& mi)
{
    readFam12Raw(mi);
    if (mi.ReadOK)
        Repair_MemImage(mi);
}

void Repair_MemImage(MemImage& mi)
{
    if (static_cast<int>(mi.Data.size()) < 129)
        return;
    Check_Page_Checksums(mi, true);
    if (!mi.ChecksumOK)
        return;

    if (at(mi, 1) == 1 && at(mi, 2) == 0 && at(mi, 3) <= 4) {
        // A node list: its entries move 9 places up, behind a free page-1 head.
        const int n = at(mi, 3);
        if (n == 0)
            return;
        const int m = (n - 1) * 8 + 4;
        if (at(mi, m + 1) != Erased || at(mi, m + 2) != Erased)
            return;
        for (int i = m - 1; i >= 1; --i)
            at(mi, i + 9) = at(mi, i);
        for (int i = 1; i <= 9; ++i)
            at(mi, i) = Erased;
        for (int i = 64; i >= 33; --i)
            at(mi, i) = at(mi, i - 1);
        Set_Page_Checksums(mi);
        return;
    }

    static constexpr std::uint8_t earlyHead[] = {0x0E, 0x50, 0x20, 0x00, 0x00};
    for (int k = 0; k < 5; ++k)
        if (at(mi, 2 + k) != earlyHead[k])
            return;
    for (int i = 32; i >= 10; --i)
        at(mi, i) = at(mi, i - 8);
    for (int i = 1; i <= 9; ++i)
        at(mi, i) = Erased;
    Set_Page_Checksums(mi);
}

bool Check_Only_fam12()
{
    bool ok = true;
    if (DriverNodeList* list = driverNodeList()) {
        for (int family : list->familyCodes()) {
            if (family != FamilyDS2406 && family != 0) {
                message("Please remove other than family 12 on the microLAN");
                ok = false;
                break;
            }
        }
    }
    if (deviceState().InterfaceType == device::InterfaceType::AmplifierLink) {
        message("Pelox does not support programming EPROM's");
        ok = false;
    }
    return ok;
}

bool Write_fam12(MemImage& mi)
{
    if (!Check_Only_fam12())
        return false;
    const int n = mi.byteCount();
    if (n <= 0 || static_cast<int>(mi.Data.size()) < n + 1)
        return false;

    // What the node holds now, unrepaired: the bits that are already programmed.
    MemImage dev;
    Copy_MemImage(mi, dev);
    readFam12Raw(dev);

    if (dev.ReadOK) {
        if (const int bad = firstUnprogrammable(mi, dev, n)) {
            message("The EPROM can not take this image, a programmed bit would have to return to 1, Byte address: " +
                    std::to_string(bad - 1));
            return false;
        }
        int last = n;
        while (last > 0 && at(mi, last) == Erased)
            --last;
        int first = 1;
        while (first <= last && at(mi, first) == at(dev, first))
            ++first;
        if (first <= last && openNode(mi.RomId)) {
            const bool ok = programBytes(mi, first, last);
            uLAN_End();
            if (!ok)
                return false;
        }
    }

    readFam12Raw(dev);
    if (dev.ReadOK)
        Check_Page_Checksums(dev, false);
    if (!dev.ReadOK)
        message("Could not verify device");
    if (!dev.ChecksumOK)
        message("Could not verify device - CRC error");
    return dev.ReadOK && sameBytes(dev.Data, mi.Data, 1, n);
}

} // namespace device
