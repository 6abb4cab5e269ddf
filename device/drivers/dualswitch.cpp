#include "device/drivers/dualswitch.h"

#include "core/base/message.h"
#include "device/drivers/busblock.h"
#include "device/drivers/fam12.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

namespace device {

namespace {

constexpr int StatusAddress = 6;
constexpr int PowerupBitA = 0x20;
constexpr int PowerupBitB = 0x40;

} // namespace

void Read_PIO_fam12(const std::string& RomId, bool& PioA, bool& PioB, bool& Failed)
{
    Failed = false;
    if (RomId.size() < 2 || RomId.compare(RomId.size() - 2, 2, "12") != 0 || !openNode(RomId)) {
        Failed = true;
        return;
    }
    // Channel access: read both channels; the fourth slot brings the channel info byte.
    command({0xF5, 0xFC, 0xFF, 0xFF});
    const std::uint8_t b = Touch_Byte(0xFF);
    const bool failed = ioFailed();
    uLAN_End();
    if (failed) {
        Failed = true;
        return;
    }
    PioA = (b & 0x04) != 0;
    PioB = (b & 0x08) != 0;
}

void Set_PIO_fam12(const std::string& RomId, bool PioA, bool PioB)
{
    if (!openNode(RomId))
        return;
    // Channel access: write both channels.
    command({0xF5, 0x1C, 0xFF, 0xFF});
    Touch_Bit(PioA ? 1 : 0);
    Touch_Bit(PioB ? 1 : 0);
    uLAN_End();
}

void Program_Powerup_fam12(const std::string& RomId, bool PioA, bool PioB)
{
    if (!Check_Only_fam12())
        return;
    if (!openNode(RomId))
        return;
    int value = 0xFF;
    if (!PioA)
        value &= ~PowerupBitA;
    if (!PioB)
        value &= ~PowerupBitB;
    int bits = 8;
    const int result = Program_Byte(value, StatusAddress, 1, bits, 1);
    if (result != 1)
        core::ShowMessage("Write error # " + std::to_string(result) + ", bits left: " + std::to_string(bits),
                          platform::MsgOkOnly, "");
    uLAN_End();
}

std::string readStatusText(const std::string& RomId)
{
    std::string text;
    if (!openNode(RomId))
        return text;
    command({0xAA, 0x00, 0x00});
    for (int i = 0; i < 8; ++i)
        text += " " + core::ByteToHex2(Touch_Byte(0xFF));
    uLAN_End();
    return text;
}

std::string Show_Status_fam12(const std::string& RomId)
{
    const std::string text = "Status on family 12 is:\r\n" + readStatusText(RomId);
    core::MsgBox(text, platform::MsgOkOnly, "");
    return text;
}

} // namespace device
