#include "device/memimage/tedspacking.h"

#include "core/teds/tedsbuf.h"

#include <algorithm>

namespace device {

namespace {

constexpr std::uint8_t Erased = 0xFF;

// TEDS byte i (1-based) of tb; FFh past the bytes it holds.
std::uint8_t tedsByte(const core::TedsBuf& tb, int i)
{
    if (i < 1 || i >= static_cast<int>(tb.Bytes.size()))
        return Erased;
    return tb.Bytes[static_cast<std::size_t>(i)];
}

std::uint8_t imageByte(const MemImage& mi, int i)
{
    if (i < 0 || i >= static_cast<int>(mi.Data.size()))
        return Erased;
    return mi.Data[static_cast<std::size_t>(i)];
}

// Data index of TEDS byte i in a paged layout: the walk starts at page byte 2
// (page byte 10 with the P1451.4 layout) and skips each page's checksum byte.
int pagedIndex(int i, int pageSize, bool draftLayout)
{
    const int perPage = pageSize - 1;
    const int k = i - 1 + (draftLayout ? 8 : 0);  // 0-based position among non-checksum bytes
    return (k / perPage) * pageSize + (k % perPage) + 2;
}

// Sum of Data[first .. last] is 0 modulo 256 (bytes past the array fail).
bool sumsToZero(const MemImage& mi, int first, int last)
{
    if (last >= static_cast<int>(mi.Data.size()))
        return false;
    unsigned sum = 0;
    for (int i = first; i <= last; ++i)
        sum += mi.Data[static_cast<std::size_t>(i)];
    return sum % 256 == 0;
}

bool registerBlank(const MemImage& mi)
{
    for (int i = 2; i <= 9; ++i)
        if (imageByte(mi, i) != Erased)
            return false;
    return true;
}

} // namespace

void Set_Geometry(core::TedsBuf& tb, MemImage& mi)
{
    const PageGeometry g = pageGeometry(tb.Family, tb.DraftLayout);
    mi.RomUsed = g.RomUsed;
    mi.Pages = g.Pages;
    mi.PageSize = g.PageSize;
    tb.Size = g.Usable;
}

void Set_Usable_Bytes(core::TedsBuf& tb)
{
    MemImage scratch;
    Set_Geometry(tb, scratch);
}

void Build_MemImage(core::TedsBuf& tb, MemImage& mi)
{
    mi.RomId = tb.id;
    Set_Geometry(tb, mi);
    const int n = mi.byteCount();
    mi.Data.assign(static_cast<std::size_t>(n) + 1, Erased);
    mi.Data[0] = 0;
    mi.DeviceData.assign(static_cast<std::size_t>(n) + 1, 0);

    if (tb.Family == FamilyDS2430A && tb.DraftLayout) {
        for (int i = 1; i <= 31; ++i)
            mi.Data[static_cast<std::size_t>(i + 1)] = tedsByte(tb, i);
        Set_Page_Checksums(mi);
    } else if (tb.Family == FamilyDS2430A) {
        for (int i = 1; i <= 8; ++i)
            mi.Data[static_cast<std::size_t>(i)] = tedsByte(tb, i);
        for (int i = 9; i <= 39; ++i)
            mi.Data[static_cast<std::size_t>(i + 1)] = tedsByte(tb, i);
        Set_fam14_Checksum(mi);
    } else {
        for (int i = 1; i <= tb.Size; ++i)
            mi.Data[static_cast<std::size_t>(pagedIndex(i, mi.PageSize, tb.DraftLayout))] = tedsByte(tb, i);
        Set_Page_Checksums(mi);
    }

    // What the node held counts only when it was read with this image's size.
    mi.DeviceKnown = tb.ReadOK && tb.RawSize == n && n > 0;
    if (mi.DeviceKnown) {
        const std::size_t count = std::min({tb.RawImage.size(), mi.DeviceData.size(),
                                            static_cast<std::size_t>(tb.RawSize) + 1});
        std::copy_n(tb.RawImage.begin(), count, mi.DeviceData.begin());
    }
}

bool decodeDraftLayout(const MemImage& mi, int family)
{
    if (family == FamilyDS2430A)
        return !(mi.PageSize == 40 && mi.RomUsed && !registerBlank(mi));
    return !mi.RomUsed || registerBlank(mi);
}

void Check_And_Decode(MemImage& mi, core::TedsBuf& tb)
{
    const bool draft = decodeDraftLayout(mi, tb.Family);
    // Where the 32-byte data memory of a DS2430A starts in the image as read.
    const int fam14Base = (mi.PageSize == 40) ? 8 : 0;

    bool checksumOK;
    if (tb.Family == FamilyDS2430A) {
        checksumOK = draft ? sumsToZero(mi, fam14Base + 1, fam14Base + 32) : sumsToZero(mi, 1, 40);
        mi.ChecksumOK = checksumOK;
    } else {
        Check_Page_Checksums(mi, false);
        checksumOK = mi.ChecksumOK;
    }
    tb.Status = checksumOK ? core::TedsStatusReadOk : core::TedsStatusCrcError;

    tb.DraftLayout = draft;
    Set_Geometry(tb, mi);
    const int size = tb.Size;
    tb.Bytes.assign(static_cast<std::size_t>(size) + 1, 0);
    tb.Bits.assign(static_cast<std::size_t>(size) * 8, false);

    for (int i = 1; i <= size; ++i) {
        int index;
        if (tb.Family == FamilyDS2430A)
            index = draft ? fam14Base + 1 + i : (i <= 8 ? i : i + 1);
        else
            index = pagedIndex(i, mi.PageSize, draft);
        tb.Bytes[static_cast<std::size_t>(i)] = imageByte(mi, index);
    }
    core::BytesToBits(tb);
}

} // namespace device
