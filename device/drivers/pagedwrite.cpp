#include "device/drivers/pagedwrite.h"

#include "device/drivers/busblock.h"
#include "device/onewire/byteio.h"
#include "device/onewire/onewiremaster.h"
#include "device/onewire/session.h"
#include "platform/base/onewirecrc.h"

namespace device {

bool pageInImage(const MemImage& mi, int page)
{
    return page >= 1 && page <= mi.Pages && mi.PageSize > 0 &&
           static_cast<int>(mi.Data.size()) >= page * mi.PageSize + 1;
}

bool pageUnchanged(const MemImage& mi, int page)
{
    const int base = (page - 1) * mi.PageSize;
    return mi.DeviceKnown && sameBytes(mi.Data, mi.DeviceData, base + 1, base + mi.PageSize);
}

bool verifyPage(const MemImage& mi, int page)
{
    const int base = (page - 1) * mi.PageSize;
    uLAN_Access();
    MemImage check;
    check.Data.assign(static_cast<std::size_t>(mi.PageSize) + 1, 0);
    commandAndRead({0xF0, base & 0xFF, (base >> 8) & 0xFF}, check, 1, mi.PageSize);
    if (ioFailed())
        return false;
    for (int i = 1; i <= mi.PageSize; ++i)
        if (check.Data[static_cast<std::size_t>(i)] != mi.Data[static_cast<std::size_t>(base + i)])
            return false;
    if (allErased(check.Data, 1, mi.PageSize))
        return stillPresent();
    return true;
}

namespace {

constexpr int ReadScratchpad = 0xAA;
constexpr int CopyScratchpad = 0x55;
constexpr std::uint8_t CopyDone = 0xAA;  // alternating 1s and 0s after a finished copy

} // namespace

Scratchpad readScratchpad(const MemImage& mi, int a, int es, int n, bool withCrc)
{
    MemImage pad;
    const int count = n + (withCrc ? 2 : 0);
    pad.Data.assign(static_cast<std::size_t>(count) + 1, 0);
    const bool merged = oneWireMaster().mergesBlocks();
    const ByteArray status = merged ? commandAndRead({ReadScratchpad, 0xFF, 0xFF, 0xFF}, pad, 1, count)
                                    : command({ReadScratchpad, 0xFF, 0xFF, 0xFF});
    if (ioFailed() || status.size() < 4 || status[1] != (a & 0xFF) || status[2] != ((a >> 8) & 0xFF) ||
        status[3] != es)
        return Scratchpad::WrongPlace;
    if (!merged)
        readData(pad, 1, count);
    if (ioFailed())
        return Scratchpad::WrongPlace;
    if (!sameBytes(pad.Data, ByteArray(mi.Data.begin() + a, mi.Data.end()), 1, n))
        return Scratchpad::WrongData;
    if (!withCrc)
        return Scratchpad::Holds;
    ByteArray covered{static_cast<std::uint8_t>(ReadScratchpad), status[1], status[2], status[3]};
    covered.insert(covered.end(), pad.Data.begin() + 1, pad.Data.begin() + 1 + n);
    const auto crc = static_cast<std::uint16_t>(~platform::crc16(covered) & 0xFFFF);
    const bool crcRight = pad.Data[static_cast<std::size_t>(n + 1)] == (crc & 0xFF) &&
                          pad.Data[static_cast<std::size_t>(n + 2)] == (crc >> 8);
    return crcRight ? Scratchpad::Holds : Scratchpad::WrongData;
}

bool copyScratchpad(int a, int es, int ms)
{
    uLAN_Access();
    commandThenPullup({CopyScratchpad, a & 0xFF, (a >> 8) & 0xFF, es}, ms);
    const std::uint8_t done = Touch_Byte(0xFF);
    return !ioFailed() && done == CopyDone;
}

bool writePages(MemImage& mi, bool (*writePage)(MemImage&, int))
{
    if (mi.PageSize <= 0 || static_cast<int>(mi.Data.size()) < mi.byteCount() + 1)
        return false;
    for (int page = 1; page <= mi.Pages; ++page)
        if (!writePage(mi, page) && !writePage(mi, page))
            return false;
    return true;
}

} // namespace device
