#include "device/memimage/memimage.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace device;

namespace {

unsigned pageSum(const MemImage& mi, int page)
{
    unsigned s = 0;
    for (int i = (page - 1) * mi.PageSize + 1; i <= page * mi.PageSize; ++i)
        s += mi.Data[static_cast<std::size_t>(i)];
    return s % 256;
}

MemImage filled(int pages, int pageSize, std::uint8_t value)
{
    MemImage mi;
    mi.Pages = pages;
    mi.PageSize = pageSize;
    mi.dimension(value);
    mi.Data[0] = 0;
    return mi;
}

} // namespace

struct GeometryRow {
    const char* name;
    int family;
    bool draft;
    int pages, pageSize, usable;
    bool romUsed;
};

class GeometryTable : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(GeometryTable, PagesPageSizeAndUsableBytes)
{
    const GeometryRow& r = GetParam();
    const PageGeometry g = pageGeometry(r.family, r.draft);
    EXPECT_EQ(g.Pages, r.pages);
    EXPECT_EQ(g.PageSize, r.pageSize);
    EXPECT_EQ(g.Usable, r.usable);
    EXPECT_EQ(g.RomUsed, r.romUsed);
    EXPECT_EQ(Get_Usable_Bytes(r.family, r.draft), r.usable);
}

INSTANTIATE_TEST_SUITE_P(
    Families, GeometryTable,
    ::testing::Values(GeometryRow{"DS2406", 0x12, false, 4, 32, 124, true},
                      GeometryRow{"DS2406_draft", 0x12, true, 4, 32, 116, true},
                      GeometryRow{"DS2431", 0x2D, false, 4, 32, 124, true},
                      GeometryRow{"DS2431_draft", 0x2D, true, 4, 32, 116, true},
                      GeometryRow{"DS2430A", 0x14, false, 1, 40, 39, true},
                      GeometryRow{"DS2430A_draft", 0x14, true, 1, 32, 31, false},
                      GeometryRow{"DS2433", 0x23, false, 16, 32, 496, true},
                      GeometryRow{"DS2433_draft", 0x23, true, 16, 32, 488, true},
                      GeometryRow{"thermometer", 0x10, false, 0, 0, 0, true},
                      GeometryRow{"unknown_draft", 0x01, true, 0, 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageChecksum, EveryPageSumsToZero)
{
    MemImage mi = filled(4, 32, 0xFF);
    mi.Data[40] = 0x12;
    mi.Data[100] = 0x00;
    Set_Page_Checksums(mi);
    EXPECT_TRUE(mi.ChecksumOK);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(pageSum(mi, p), 0u) << "page " << p;
    EXPECT_EQ(mi.Data[0], 0);
}

TEST(PageChecksum, WorkedValues)
{
    MemImage ff = filled(1, 32, 0xFF);
    Set_Page_Checksums(ff);
    EXPECT_EQ(ff.Data[1], 0x1F);

    MemImage zeros = filled(1, 32, 0x00);
    zeros.Data[1] = 0x55;
    Set_Page_Checksums(zeros);
    EXPECT_EQ(zeros.Data[1], 0x00);
}

TEST(PageChecksum, Fam14ChecksumCoversAllFortyBytes)
{
    MemImage mi = filled(1, 40, 0x00);
    for (int i = 1; i <= 40; ++i)
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
    Set_fam14_Checksum(mi);
    EXPECT_TRUE(mi.ChecksumOK);
    EXPECT_EQ(pageSum(mi, 1), 0u);
    // The other bytes are untouched.
    EXPECT_EQ(mi.Data[8], 56);
    EXPECT_EQ(mi.Data[10], 70);
    Check_Page_Checksums(mi, false);
    EXPECT_TRUE(mi.ChecksumOK);
}

TEST(PageChecksum, ErasedImageFails)
{
    MemImage mi = filled(4, 32, 0xFF);
    Check_Page_Checksums(mi, false);
    EXPECT_FALSE(mi.ChecksumOK);
}

TEST(PageChecksum, OnlyFirstIgnoresLaterPages)
{
    MemImage mi = filled(4, 32, 0x00);
    mi.Data[70] = 0x01;  // page 3 wrong
    Check_Page_Checksums(mi, true);
    EXPECT_TRUE(mi.ChecksumOK);
    Check_Page_Checksums(mi, false);
    EXPECT_FALSE(mi.ChecksumOK);
}

TEST(PageChecksum, ShortDataFailsInsteadOfReadingPastTheEnd)
{
    MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.Data.assign(33, 0);  // only page 1 present
    Check_Page_Checksums(mi, true);
    EXPECT_TRUE(mi.ChecksumOK);
    Check_Page_Checksums(mi, false);
    EXPECT_FALSE(mi.ChecksumOK);
    Set_Page_Checksums(mi);  // grows the array to the geometry
    EXPECT_EQ(mi.Data.size(), 129u);
}

TEST(CopyMemImage, CopiesGeometryFlagsAndBytesButNotDeviceData)
{
    MemImage src = filled(1, 40, 0xAB);
    src.RomId = "A706050403020114";
    src.RomUsed = false;
    src.ChecksumOK = true;
    src.ReadOK = true;
    src.DeviceKnown = true;
    src.DeviceData.assign(41, 0x11);

    MemImage dst = filled(4, 32, 0x00);
    dst.DeviceKnown = true;
    dst.DeviceData.assign(129, 0x22);
    Copy_MemImage(src, dst);

    EXPECT_EQ(dst.RomId, src.RomId);
    EXPECT_EQ(dst.Pages, 1);
    EXPECT_EQ(dst.PageSize, 40);
    EXPECT_FALSE(dst.RomUsed);
    EXPECT_TRUE(dst.ChecksumOK);
    EXPECT_TRUE(dst.ReadOK);
    EXPECT_FALSE(dst.DeviceKnown);
    EXPECT_EQ(dst.Data, src.Data);
    EXPECT_EQ(dst.DeviceData, ByteArray(129, 0x22));
}
