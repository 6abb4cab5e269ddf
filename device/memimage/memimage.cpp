#include "device/memimage/memimage.h"

namespace device {

namespace {

// Byte i of Data, 0 when the array is shorter.
unsigned byteAt(const MemImage& mi, int i)
{
    if (i < 0 || i >= static_cast<int>(mi.Data.size()))
        return 0;
    return mi.Data[static_cast<std::size_t>(i)];
}

} // namespace

void MemImage::dimension(std::uint8_t fill)
{
    const int n = byteCount() > 0 ? byteCount() : 0;
    Data.resize(static_cast<std::size_t>(n) + 1, fill);
}

PageGeometry pageGeometry(int family, bool draftLayout)
{
    PageGeometry g;
    const FamilyInfo& f = familyInfo(family);
    if (f.kind != NodeKind::Memory && f.kind != NodeKind::DualSwitch)
        return g;
    g.Pages = f.pages;
    g.PageSize = f.pageSize;
    if (f.registerBytes > 0) {
        // One page: the data memory alone, or with the register in front of it, under
        // one checksum byte.
        if (!draftLayout)
            g.PageSize += f.registerBytes;
        g.RomUsed = !draftLayout;
        g.Usable = g.PageSize - 1;
        return g;
    }
    g.Usable = g.Pages * (g.PageSize - 1) - (draftLayout ? 8 : 0);
    return g;
}

int Get_Usable_Bytes(int family, bool draftLayout)
{
    return pageGeometry(family, draftLayout).Usable;
}

std::uint8_t checksumFor(unsigned sum)
{
    return static_cast<std::uint8_t>((256 - (sum % 256)) % 256);
}

void Set_Page_Checksums(MemImage& mi)
{
    if (static_cast<int>(mi.Data.size()) < mi.byteCount() + 1)
        mi.dimension();
    for (int p = 1; p <= mi.Pages; ++p) {
        const int base = (p - 1) * mi.PageSize;
        unsigned sum = 0;
        for (int i = base + 2; i <= base + mi.PageSize; ++i)
            sum += mi.Data[static_cast<std::size_t>(i)];
        mi.Data[static_cast<std::size_t>(base + 1)] = checksumFor(sum);
    }
    mi.ChecksumOK = true;
}

void Set_fam14_Checksum(MemImage& mi)
{
    if (mi.Data.size() < 41)
        mi.Data.resize(41, 0);
    unsigned sum = 0;
    for (int i = 1; i <= 40; ++i)
        if (i != 9)
            sum += mi.Data[static_cast<std::size_t>(i)];
    mi.Data[9] = checksumFor(sum);
    mi.ChecksumOK = true;
}

void Check_Page_Checksums(MemImage& mi, bool onlyFirst)
{
    mi.ChecksumOK = true;
    const int pages = onlyFirst ? (mi.Pages > 0 ? 1 : 0) : mi.Pages;
    for (int p = 1; p <= pages; ++p) {
        const int base = (p - 1) * mi.PageSize;
        if (base + mi.PageSize >= static_cast<int>(mi.Data.size())) {
            mi.ChecksumOK = false;  // the page was never filled
            return;
        }
        unsigned sum = 0;
        for (int i = base + 1; i <= base + mi.PageSize; ++i)
            sum += byteAt(mi, i);
        if (sum % 256 != 0) {
            mi.ChecksumOK = false;
            return;
        }
    }
}

void Copy_MemImage(const MemImage& src, MemImage& dst)
{
    dst.DeviceKnown = false;
    const int n = src.byteCount() > 0 ? src.byteCount() : 0;
    dst.Data.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i <= n && i < static_cast<int>(src.Data.size()); ++i)
        dst.Data[static_cast<std::size_t>(i)] = src.Data[static_cast<std::size_t>(i)];
    dst.RomId = src.RomId;
    dst.Pages = src.Pages;
    dst.RomUsed = src.RomUsed;
    dst.ChecksumOK = src.ChecksumOK;
    dst.PageSize = src.PageSize;
    dst.ReadOK = src.ReadOK;
}

} // namespace device
