#include "device/memimage/tedspacking.h"

#include "core/teds/tedsbuf.h"

#include <gtest/gtest.h>

#include <random>

using namespace device;

namespace {

core::TedsBuf teds(int family, bool draft, int count, std::uint32_t seed = 1)
{
    core::TedsBuf tb;
    tb.Family = family;
    tb.DraftLayout = draft;
    tb.id = "0000000000000000";
    tb.Bytes.assign(static_cast<std::size_t>(count) + 1, 0);
    std::mt19937 rng(seed);
    for (int i = 1; i <= count; ++i)
        tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rng() & 0xFF);
    tb.Size = count;
    return tb;
}

unsigned rangeSum(const MemImage& mi, int first, int last)
{
    unsigned s = 0;
    for (int i = first; i <= last; ++i)
        s += mi.Data[static_cast<std::size_t>(i)];
    return s % 256;
}

} // namespace

TEST(BuildMemImage, DS2431PagesHoldConsecutiveRuns)
{
    core::TedsBuf tb = teds(0x2D, false, 124);
    MemImage mi;
    Build_MemImage(tb, mi);
    ASSERT_EQ(mi.Pages, 4);
    ASSERT_EQ(mi.PageSize, 32);
    ASSERT_EQ(mi.Data.size(), 129u);
    EXPECT_EQ(tb.Size, 124);
    EXPECT_EQ(mi.Data[0], 0);
    for (int p = 0; p < 4; ++p) {
        for (int k = 0; k < 31; ++k)
            EXPECT_EQ(mi.Data[static_cast<std::size_t>(p * 32 + 2 + k)], tb.Bytes[static_cast<std::size_t>(p * 31 + 1 + k)]);
        EXPECT_EQ(rangeSum(mi, p * 32 + 1, p * 32 + 32), 0u) << "page " << p + 1;
    }
    EXPECT_TRUE(mi.ChecksumOK);
}

TEST(BuildMemImage, DraftLayoutKeepsEightBytesOfPageOneFree)
{
    core::TedsBuf tb = teds(0x2D, true, 116);
    MemImage mi;
    Build_MemImage(tb, mi);
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0xFF) << i;
    EXPECT_EQ(mi.Data[10], tb.Bytes[1]);
    EXPECT_EQ(mi.Data[32], tb.Bytes[23]);
    EXPECT_EQ(mi.Data[34], tb.Bytes[24]);  // page 2 starts after its checksum byte
    EXPECT_EQ(mi.Data[128], tb.Bytes[116]);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(rangeSum(mi, (p - 1) * 32 + 1, p * 32), 0u);
}

TEST(BuildMemImage, DS2430AFortyByteImageWithRegister)
{
    core::TedsBuf tb = teds(0x14, false, 39);
    MemImage mi;
    Build_MemImage(tb, mi);
    ASSERT_EQ(mi.Pages, 1);
    ASSERT_EQ(mi.PageSize, 40);
    EXPECT_TRUE(mi.RomUsed);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], tb.Bytes[static_cast<std::size_t>(i)]);
    for (int i = 9; i <= 39; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i + 1)], tb.Bytes[static_cast<std::size_t>(i)]);
    EXPECT_EQ(rangeSum(mi, 1, 40), 0u);  // Data[9] closes the whole image
}

TEST(BuildMemImage, DS2430AThirtyTwoByteImage)
{
    core::TedsBuf tb = teds(0x14, true, 31);
    MemImage mi;
    Build_MemImage(tb, mi);
    ASSERT_EQ(mi.PageSize, 32);
    EXPECT_FALSE(mi.RomUsed);
    for (int i = 1; i <= 31; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i + 1)], tb.Bytes[static_cast<std::size_t>(i)]);
    EXPECT_EQ(rangeSum(mi, 1, 32), 0u);
}

TEST(BuildMemImage, ShortTedsIsPaddedWithErasedBytes)
{
    // A TEDS that holds fewer bytes than the geometry (e.g. from a short file).
    core::TedsBuf tb = teds(0x23, false, 10);
    MemImage mi;
    Build_MemImage(tb, mi);
    EXPECT_EQ(tb.Size, 496);
    ASSERT_EQ(mi.Data.size(), 513u);
    EXPECT_EQ(mi.Data[11], tb.Bytes[10]);
    for (int i = 12; i <= 32; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0xFF) << i;
    EXPECT_EQ(mi.Data[33], 0x1F);  // page 2 all FFh
    EXPECT_EQ(mi.Data[512], 0xFF);

    core::TedsBuf fam14 = teds(0x14, false, 3);
    MemImage m14;
    Build_MemImage(fam14, m14);
    EXPECT_EQ(m14.Data[4], 0xFF);
    EXPECT_EQ(m14.Data[40], 0xFF);
    EXPECT_EQ(rangeSum(m14, 1, 40), 0u);
}

TEST(BuildMemImage, UnknownFamilyGivesEmptyImage)
{
    core::TedsBuf tb = teds(0x10, false, 5);
    MemImage mi;
    Build_MemImage(tb, mi);
    EXPECT_EQ(mi.Pages, 0);
    EXPECT_EQ(mi.PageSize, 0);
    EXPECT_EQ(tb.Size, 0);
    EXPECT_EQ(mi.Data.size(), 1u);
}

TEST(BuildMemImage, DeviceDataOnlyFromARawImageOfTheSameSize)
{
    core::TedsBuf tb = teds(0x2D, false, 124);
    tb.id = "A70605040302012D";
    tb.ReadOK = true;
    tb.RawSize = 128;
    tb.RawImage.assign(129, 0x5A);
    MemImage mi;
    Build_MemImage(tb, mi);
    EXPECT_EQ(mi.RomId, "A70605040302012D");
    EXPECT_TRUE(mi.DeviceKnown);
    EXPECT_EQ(mi.DeviceData, ByteArray(129, 0x5A));

    // A 32-byte DS2430A image read before does not describe a 40-byte image.
    core::TedsBuf t14 = teds(0x14, false, 39);
    t14.ReadOK = true;
    t14.RawSize = 32;
    t14.RawImage.assign(33, 0x11);
    MemImage m14;
    Build_MemImage(t14, m14);
    EXPECT_FALSE(m14.DeviceKnown);

    core::TedsBuf unread = teds(0x2D, false, 124);
    MemImage m2;
    Build_MemImage(unread, m2);
    EXPECT_FALSE(m2.DeviceKnown);
}

TEST(SetUsableBytes, OnlyTheSizeChanges)
{
    core::TedsBuf tb = teds(0x23, true, 4);
    Set_Usable_Bytes(tb);
    EXPECT_EQ(tb.Size, 488);
    EXPECT_EQ(tb.Bytes.size(), 5u);
    EXPECT_TRUE(tb.DraftLayout);
}

// A node image as a reader leaves it: RomUsed true except for a DS2430A with its
// register not locked.
struct RoundTripRow {
    const char* name;
    int family;
    bool draft;
    int usable;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(RoundTrip, DecodeGivesTheBytesBack)
{
    const RoundTripRow& r = GetParam();
    core::TedsBuf tb = teds(r.family, r.draft, r.usable, 7);
    if (!r.draft)
        tb.Bytes[1] = 0x00;  // page bytes 2..9 not blank
    MemImage mi;
    Build_MemImage(tb, mi);
    mi.ReadOK = true;  // as read back: the register is locked exactly for the 40-byte image

    core::TedsBuf out;
    out.Family = r.family;
    out.DraftLayout = !r.draft;
    Check_And_Decode(mi, out);
    EXPECT_EQ(out.Status, core::TedsStatusReadOk);
    EXPECT_EQ(out.DraftLayout, r.draft);
    ASSERT_EQ(out.Size, r.usable);
    ASSERT_EQ(out.Bytes.size(), static_cast<std::size_t>(r.usable) + 1);
    for (int i = 1; i <= r.usable; ++i)
        ASSERT_EQ(out.Bytes[static_cast<std::size_t>(i)], tb.Bytes[static_cast<std::size_t>(i)]) << i;
    ASSERT_EQ(out.Bits.size(), static_cast<std::size_t>(r.usable) * 8);
    EXPECT_EQ(out.Bits[0], (tb.Bytes[1] & 1) != 0);
    EXPECT_EQ(out.Bits[static_cast<std::size_t>(r.usable) * 8 - 1], (tb.Bytes[static_cast<std::size_t>(r.usable)] & 0x80) != 0);

    // Building again from the decoded TEDS gives the same image.
    MemImage again;
    Build_MemImage(out, again);
    EXPECT_EQ(again.Data, mi.Data);
}

INSTANTIATE_TEST_SUITE_P(Families, RoundTrip,
                         ::testing::Values(RoundTripRow{"DS2406", 0x12, false, 124}, RoundTripRow{"DS2406_draft", 0x12, true, 116},
                                           RoundTripRow{"DS2431", 0x2D, false, 124}, RoundTripRow{"DS2431_draft", 0x2D, true, 116},
                                           RoundTripRow{"DS2433", 0x23, false, 496}, RoundTripRow{"DS2433_draft", 0x23, true, 488},
                                           RoundTripRow{"DS2430A", 0x14, false, 39}, RoundTripRow{"DS2430A_draft", 0x14, true, 31}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckAndDecode, ErasedNodeIsACrcErrorInTheDraftLayout)
{
    MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.RomUsed = true;
    mi.dimension(0xFF);
    core::TedsBuf tb;
    tb.Family = 0x2D;
    Check_And_Decode(mi, tb);
    EXPECT_EQ(tb.Status, core::TedsStatusCrcError);
    EXPECT_TRUE(tb.DraftLayout);
    EXPECT_EQ(tb.Size, 116);
    EXPECT_EQ(tb.Bytes[1], 0xFF);
}

TEST(CheckAndDecode, WrongLaterPageIsACrcError)
{
    core::TedsBuf tb = teds(0x23, false, 496);
    tb.Bytes[1] = 0;
    MemImage mi;
    Build_MemImage(tb, mi);
    mi.Data[300] ^= 0x01;
    core::TedsBuf out;
    out.Family = 0x23;
    Check_And_Decode(mi, out);
    EXPECT_EQ(out.Status, core::TedsStatusCrcError);
    EXPECT_FALSE(out.DraftLayout);
    EXPECT_EQ(out.Bytes[1], 0);
}

TEST(CheckAndDecode, UnlockedFortyByteDS2430AImageDecodesItsDataMemory)
{
    // A full read of a node whose register is not locked: the 32-byte layout sits in
    // the data memory, Data[9 .. 40].
    core::TedsBuf small = teds(0x14, true, 31, 3);
    MemImage page;
    Build_MemImage(small, page);

    MemImage mi;
    mi.Pages = 1;
    mi.PageSize = 40;
    mi.RomUsed = false;  // not locked
    mi.dimension(0x00);
    for (int i = 1; i <= 8; ++i)
        mi.Data[static_cast<std::size_t>(i)] = 0x33;  // register contents
    for (int i = 1; i <= 32; ++i)
        mi.Data[static_cast<std::size_t>(8 + i)] = page.Data[static_cast<std::size_t>(i)];

    core::TedsBuf out;
    out.Family = 0x14;
    Check_And_Decode(mi, out);
    EXPECT_EQ(out.Status, core::TedsStatusReadOk);
    EXPECT_TRUE(out.DraftLayout);
    ASSERT_EQ(out.Size, 31);
    for (int i = 1; i <= 31; ++i)
        EXPECT_EQ(out.Bytes[static_cast<std::size_t>(i)], small.Bytes[static_cast<std::size_t>(i)]) << i;
}

TEST(CheckAndDecode, LockedShortDS2430AImageDecodesInTheShortLayout)
{
    // The node read as 32 bytes although its register reports locked.
    core::TedsBuf small = teds(0x14, true, 31, 4);
    small.Bytes[1] = 0;
    MemImage mi;
    Build_MemImage(small, mi);
    mi.RomUsed = true;
    core::TedsBuf out;
    out.Family = 0x14;
    Check_And_Decode(mi, out);
    EXPECT_EQ(out.Status, core::TedsStatusReadOk);
    EXPECT_TRUE(out.DraftLayout);
    EXPECT_EQ(out.Size, 31);
    EXPECT_EQ(out.Bytes[31], small.Bytes[31]);
}

TEST(CheckAndDecode, LockedDS2430AChecksumCoversRegisterAndData)
{
    core::TedsBuf tb = teds(0x14, false, 39, 5);
    tb.Bytes[1] = 0;
    MemImage mi;
    Build_MemImage(tb, mi);
    mi.Data[3] ^= 0x40;  // a register byte
    core::TedsBuf out;
    out.Family = 0x14;
    Check_And_Decode(mi, out);
    EXPECT_EQ(out.Status, core::TedsStatusCrcError);
    EXPECT_FALSE(out.DraftLayout);
    EXPECT_EQ(out.Size, 39);
}

TEST(CheckAndDecode, ShortImageDecodesMissingBytesAsErased)
{
    MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.Data.assign(33, 0x00);  // only page 1 present
    core::TedsBuf tb;
    tb.Family = 0x12;
    Check_And_Decode(mi, tb);
    EXPECT_EQ(tb.Status, core::TedsStatusCrcError);
    EXPECT_EQ(tb.Size, 124);
    EXPECT_EQ(tb.Bytes[31], 0x00);
    EXPECT_EQ(tb.Bytes[32], 0xFF);
}
