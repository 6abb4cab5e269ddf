#include "core/teds/tedsbuf.h"

#include <gtest/gtest.h>

#include <random>

using core::TedsBuf;

namespace {
TedsBuf randomImage(int size, unsigned seed)
{
    TedsBuf tb;
    tb.dimension(size);
    std::mt19937 rng(seed);
    for (int i = 1; i <= size; ++i)
        tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rng());
    return tb;
}
} // namespace

TEST(TedsBuf, BytesAndBitsRoundTrip)
{
    TedsBuf tb = randomImage(124, 1);
    const auto bytes = tb.Bytes;
    core::BytesToBits(tb);
    ASSERT_EQ(tb.Bits.size(), 124u * 8);
    // bit (i - 1) * 8 + k is bit k of byte i
    for (int i = 1; i <= 124; ++i)
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(tb.Bits[static_cast<std::size_t>((i - 1) * 8 + k)], ((bytes[static_cast<std::size_t>(i)] >> k) & 1) != 0);
    std::fill(tb.Bytes.begin() + 1, tb.Bytes.end(), 0);
    core::BitsToBytes(tb);
    EXPECT_EQ(tb.Bytes, bytes);
}

TEST(TedsBuf, BitsFollowBytesWhenTheBitArrayIsShort)
{
    TedsBuf tb;
    tb.Size = 3;
    tb.Bytes = {0, 0x01, 0x80, 0xFF};
    core::BytesToBits(tb);
    ASSERT_EQ(tb.Bits.size(), 24u);
    EXPECT_TRUE(tb.Bits[0]);
    EXPECT_TRUE(tb.Bits[15]);
    EXPECT_FALSE(tb.Bits[14]);

    // A byte array shorter than Size: only the bytes it holds are touched.
    TedsBuf shortBytes;
    shortBytes.Size = 4;
    shortBytes.Bytes = {0, 0xAA};
    core::BytesToBits(shortBytes);
    core::BitsToBytes(shortBytes);
    EXPECT_EQ(shortBytes.Bytes.size(), 2u);
    EXPECT_EQ(shortBytes.Bytes[1], 0xAA);
}

TEST(TedsBuf, CopyKeepsRawImageAndSizeInStep)
{
    TedsBuf src = randomImage(31, 2);
    core::BytesToBits(src);
    src.id = "190000005CA6572D";
    src.RawImage = {0, 1, 2, 3};
    src.RawSize = 3;
    src.ReadOK = false;
    src.DraftLayout = true;
    src.TemplateIndex = 4;
    src.Family = 0x14;
    src.Status = core::TedsStatusReadOk;

    TedsBuf dst = randomImage(496, 3);
    dst.RawImage.assign(100, 9);
    dst.RawSize = 99;
    dst.DraftLayout = false;
    dst.TemplateIndex = 1;
    dst.Family = 0x23;
    dst.Status = core::TedsStatusVirgin;

    core::CopyTeds(src, dst);
    EXPECT_EQ(dst.Bytes, src.Bytes);
    EXPECT_EQ(dst.Bits, src.Bits);
    EXPECT_EQ(dst.Size, 31);
    EXPECT_EQ(dst.id, src.id);
    EXPECT_FALSE(dst.ReadOK);
    EXPECT_EQ(dst.RawSize, 3);
    EXPECT_EQ(dst.RawImage.size(), 4u);  // never a size without its image
    EXPECT_EQ(dst.RawImage, src.RawImage);
    // the destination's own identity stays
    EXPECT_FALSE(dst.DraftLayout);
    EXPECT_EQ(dst.TemplateIndex, 1);
    EXPECT_EQ(dst.Family, 0x23);
    EXPECT_EQ(dst.Status, core::TedsStatusVirgin);

    core::CopyTeds(dst, dst);  // self copy is harmless
    EXPECT_EQ(dst.Bytes, src.Bytes);
}

TEST(TedsBuf, DimensionAndRange)
{
    TedsBuf tb;
    tb.dimension(4, 0xFF);
    EXPECT_EQ(tb.Bytes.size(), 5u);
    EXPECT_EQ(tb.Bytes[4], 0xFF);
    EXPECT_EQ(tb.bitCount(), 32);
    EXPECT_TRUE(tb.holdsBits(0, 32));
    EXPECT_TRUE(tb.holdsBits(31, 1));
    EXPECT_FALSE(tb.holdsBits(31, 2));
    EXPECT_FALSE(tb.holdsBits(-1, 1));
    EXPECT_TRUE(tb.holdsBits(500, 0));
}
