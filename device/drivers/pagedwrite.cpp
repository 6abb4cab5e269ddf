#include "device/drivers/pagedwrite.h"

#include "device/drivers/busblock.h"
#include "device/onewire/session.h"

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
    command({0xF0, base & 0xFF, (base >> 8) & 0xFF});
    MemImage check;
    check.Data.assign(static_cast<std::size_t>(mi.PageSize) + 1, 0);
    readData(check, 1, mi.PageSize);
    if (ioFailed())
        return false;
    for (int i = 1; i <= mi.PageSize; ++i)
        if (check.Data[static_cast<std::size_t>(i)] != mi.Data[static_cast<std::size_t>(base + i)])
            return false;
    if (allErased(check.Data, 1, mi.PageSize))
        return stillPresent();
    return true;
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
