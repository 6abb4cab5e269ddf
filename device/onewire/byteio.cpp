#include "device/onewire/byteio.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/onewire/onewiremaster.h"

#include <string>

namespace device {

namespace {

constexpr int MaxWriteBlock = 32;

// Checks a block before it is moved and makes room for it; false when nothing is to be sent.
bool blockFits(MemImage& image, bool WriteFlag, int first, int last)
{
    const int n = last - first + 1;
    if (WriteFlag && n > MaxWriteBlock) {
        const std::string text = "Error page too large for write, please report error - job canceled";
        core::ShowMessage(text, platform::MsgOkOnly, "");
        core::Tracewindow(text);
        markIoError();
        return false;
    }
    if (n <= 0 || first < 0)
        return false;
    if (static_cast<int>(image.Data.size()) <= last)
        image.Data.resize(static_cast<std::size_t>(last) + 1, 0);
    return true;
}

} // namespace

std::uint8_t Touch_Byte(int b) { return oneWireMaster().touchByte(b); }

int Touch_Bit(int b) { return oneWireMaster().touchBit(b); }

void Block_IO(MemImage& image, bool WriteFlag, int first, int last)
{
    if (!blockFits(image, WriteFlag, first, last))
        return;
    if (WriteFlag)
        oneWireMaster().writeBlock(image, first, last);
    else
        oneWireMaster().readBlock(image, first, last);
}

void Block_IO_Page(MemImage& image, bool WriteFlag, int page)
{
    const int first = (page - 1) * image.PageSize + 1;
    Block_IO(image, WriteFlag, first, first + image.PageSize - 1);
}

std::string pullupCode(int ms)
{
    if (ms <= 32)
        return "80";
    switch (ms) {
    case 64:
        return "81";
    case 128:
        return "82";
    case 512:
        return "83";
    case 1024:
        return "84";
    default:
        return "";
    }
}

void Strong_Pullup(int ms) { oneWireMaster().strongPullup(ms); }

std::uint8_t Touch_Byte_Pullup(int b, int ms) { return oneWireMaster().touchByteThenPullup(b, ms); }

void Block_IO_Pullup(MemImage& image, int first, int last, int ms)
{
    if (blockFits(image, true, first, last))
        oneWireMaster().writeBlockThenPullup(image, first, last, ms);
}

int Program_Byte(int value, int address, int memoryType, int& bits, int zeros)
{
    return oneWireMaster().programByte(value, address, memoryType, bits, zeros);
}

} // namespace device
