#include "device/drivers/fam14.h"

#include "core/base/message.h"
#include "device/drivers/busblock.h"
#include "device/drivers/confirmation.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

namespace device {

namespace {

constexpr std::uint8_t LockedStatus = 0xFC;
constexpr int CopyPullupMs = 128;

void message(const std::string& text) { core::ShowMessage(text, platform::MsgOkOnly, ""); }

// Status register of the selected node.
std::uint8_t readStatus()
{
    command({0x66, 0x00});
    return Touch_Byte(0xFF);
}

// The locked register of the selected node equals the image's Data[1 .. 8].
bool registerHolds(const MemImage& mi)
{
    MemImage reg;
    reg.Data.assign(9, 0);
    uLAN_Access();
    command({0xC3, 0x00});
    readData(reg, 1, 8);
    return !ioFailed() && sameBytes(reg.Data, mi.Data, 1, 8);
}

// Locks the register of the node with what its register scratchpad holds; true when
// the node then reports it locked and its register holds the image's Data[1 .. 8].
bool lockRegister(const MemImage& mi)
{
    if (!openNode(mi.RomId))
        return false;
    bool locked = command({0x66, 0x00, 0xFF})[2] == LockedStatus;
    if (!locked) {
        uLAN_Access();
        // The lock programs EEPROM cells: the line stays powered as after a copy.
        commandThenPullup({0x5A, 0xA5}, CopyPullupMs);
        uLAN_Access();
        locked = readStatus() == LockedStatus && !ioFailed();
    }
    locked = locked && registerHolds(mi);
    uLAN_End();
    return locked;
}

} // namespace

void Read_fam14(MemImage& mi, bool fullImage)
{
    mi.Pages = 1;
    mi.ChecksumOK = false;
    mi.RomUsed = false;
    if (!openNode(mi.RomId)) {
        mi.ReadOK = false;
        return;
    }
    mi.RomUsed = command({0x66, 0x00, 0xFF})[2] == LockedStatus;

    int base;
    if (mi.RomId == kFam14ShortImageId || (!fullImage && !mi.RomUsed)) {
        mi.PageSize = 32;
        mi.Data.assign(33, 0);
        base = 1;
    } else {
        mi.PageSize = 40;
        mi.Data.assign(41, 0);
        uLAN_Access();
        command({0xC3, 0x00});
        readData(mi, 1, 8);
        base = 9;
    }
    uLAN_Access();
    command({0xF0, 0x00});
    readData(mi, base, base + 31);
    bool ok = !ioFailed();
    if (ok && mayBeCut(mi.Data, 1, mi.PageSize))
        ok = stillPresent();
    uLAN_End();
    mi.ReadOK = ok;
}

std::optional<bool> fam14RegisterLocked(const std::string& RomId)
{
    if (!openNode(RomId))
        return std::nullopt;
    const bool locked = command({0x66, 0x00, 0xFF})[2] == LockedStatus;
    const bool failed = ioFailed();
    uLAN_End();
    if (failed)
        return std::nullopt;
    return locked;
}

bool Write_fam14(MemImage& mi, bool& confirmed)
{
    if (mi.RomUsed && mi.PageSize != 40) {
        core::MsgBox("Error in allocated memory size, please report error in Write_fam14, ID 0.4.68",
                     platform::MsgOkOnly, "");
        return false;
    }
    if (!mi.RomUsed && mi.PageSize != 32) {
        core::MsgBox("Error in allocated memory size, please report error in Write_fam14, ID 0.4.70",
                     platform::MsgOkOnly, "");
        return false;
    }
    const int size = mi.PageSize;
    if (static_cast<int>(mi.Data.size()) < size + 1)
        return false;
    if (mi.DeviceKnown && sameBytes(mi.Data, mi.DeviceData, 1, size))
        return true;

    MemImage back;
    Copy_MemImage(mi, back);

    bool locked = false;
    if (openNode(mi.RomId)) {
        locked = readStatus() == LockedStatus;
        if (!mi.RomUsed && locked) {
            message("ROM allready used, the selected format requires that the ROM is not used");
            uLAN_End();
            return false;
        }
        if (mi.RomUsed && locked && !registerHolds(mi)) {
            // The data memory is left alone: it would no longer match the register.
            message("Comparing ROM failed");
            uLAN_End();
            return false;
        }
        if (mi.RomUsed && !locked && !confirmed) {
            confirmed = confirmProgramming("Are you sure you will Write and Lock the ROM ?", ConfirmBox::Wrapper);
            if (!confirmed) {
                uLAN_End();
                return false;
            }
        }
        if (mi.RomUsed && !locked) {
            uLAN_Access();
            command({0x99, 0x00});
            sendData(mi, 1, 8);
        }
        uLAN_Access();
        command({0x0F, 0x00});
        if (mi.RomUsed)
            sendData(mi, 9, 40);
        else
            sendData(mi, 1, 32);
        uLAN_Access();
        commandThenPullup({0x55, 0xA5}, CopyPullupMs);
        uLAN_End();
    }

    Read_fam14(back, mi.RomUsed);
    if (!back.ReadOK) {
        message("Comparing failed");
        return false;
    }
    if (mi.RomUsed && locked && !sameBytes(back.Data, mi.Data, 1, 8)) {
        message("Comparing ROM failed");
        return false;
    }
    if (back.PageSize != mi.PageSize) {
        message("Number of bytes to program does not match");
        return false;
    }
    if (!sameBytes(back.Data, mi.Data, 1, size)) {
        message("Comparing failed");
        return false;
    }
    if (confirmed && mi.RomUsed && !locked && !lockRegister(mi)) {
        message("Comparing ROM failed");
        return false;
    }
    return true;
}

} // namespace device
