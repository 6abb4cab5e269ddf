// The node-list image codec: the writer's byte order, the reader's id texts, and the
// bounds on both sides.

#include "core/teds/nodelistimage.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(NodeListImage, AnIdTextIsStoredFamilyCodeFirst)
{
    EXPECT_EQ(core::nodeIdToListBytes("A1B2C3D4E5F60712"), (Bytes{0x12, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
    // Lower case reads too; a pair without a leading hex digit and a missing pair give 00h.
    EXPECT_EQ(core::nodeIdToListBytes("a1b2c3d4e5f607zz"), (Bytes{0x00, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(core::nodeIdToListBytes("A1B2"), (Bytes{0, 0, 0, 0, 0, 0, 0xB2, 0xA1}));
    EXPECT_EQ(core::nodeIdToListBytes("A1B2C3D4E5F6071"), (Bytes{0x01, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(core::nodeIdToListBytes("A1B2C3D4E5F607G2"), (Bytes{0x00, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
}

TEST(NodeListImage, TwoIdsInADs2433Image)
{
    Bytes image;
    ASSERT_TRUE(core::encodeNodeList({"A1B2C3D4E5F60712", "0100000000000010"}, 496, image));
    ASSERT_EQ(image.size(), 497u);
    EXPECT_EQ(image[1], 0x01);
    EXPECT_EQ(image[2], 0x00);
    EXPECT_EQ(image[3], 0x03);
    EXPECT_EQ(Bytes(image.begin() + 4, image.begin() + 12), (Bytes{0x12, 0x07, 0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(image[12], 0x10);
    EXPECT_EQ(image[19], 0x01);
    for (std::size_t i = 20; i <= 496; ++i)
        ASSERT_EQ(image[i], 0xFF) << i;
}

TEST(NodeListImage, TheWriterRefusesWhatDoesNotFit)
{
    struct Row { int size; int fits; };
    // DS2406/DS2431, DS2430A and DS2433 in both layouts.
    for (const Row r : {Row{124, 15}, Row{116, 14}, Row{39, 4}, Row{31, 3}, Row{496, 61}, Row{488, 60}}) {
        EXPECT_EQ(core::nodeListCapacity(r.size), r.fits) << r.size;
        Bytes image;
        EXPECT_TRUE(core::encodeNodeList(std::vector<std::string>(static_cast<std::size_t>(r.fits), "0100000000000010"), r.size, image)) << r.size;
        EXPECT_FALSE(core::encodeNodeList(std::vector<std::string>(static_cast<std::size_t>(r.fits + 1), "0100000000000010"), r.size, image)) << r.size;
        EXPECT_TRUE(image.empty());
    }
}

TEST(NodeListImage, TheReaderGivesIdsLastStoredByteFirst)
{
    Bytes image(40, 0xFF);
    image[1] = 1;
    image[2] = 0;
    image[3] = 2;
    const Bytes id = {0x12, 0x5A, 0, 0, 0, 0, 0, 0xAB};
    std::copy(id.begin(), id.end(), image.begin() + 4);
    const auto d = core::decodeNodeList(image, 39);
    EXPECT_TRUE(d.header);
    EXPECT_EQ(d.count, 2);
    EXPECT_EQ(d.ids, (std::vector<std::string>{"AB00000000005A12"}));
    EXPECT_FALSE(d.truncated);
}

TEST(NodeListImage, RoundTripAndBounds)
{
    const std::vector<std::string> ids = {"A1B2C3D4E5F60712", "0100000000000010", "FF0000000000002D"};
    Bytes image;
    ASSERT_TRUE(core::encodeNodeList(ids, 124, image));
    EXPECT_EQ(core::decodeNodeList(image, 124).ids, ids);

    // A count beyond the image: what fits, flagged.
    image[3] = 200;
    auto d = core::decodeNodeList(image, 124);
    EXPECT_EQ(d.ids.size(), 15u);
    EXPECT_TRUE(d.truncated);
    // The caller's own limit.
    image[3] = 4;
    d = core::decodeNodeList(image, 124, 2);
    EXPECT_EQ(d.ids.size(), 2u);
    EXPECT_TRUE(d.truncated);
    // Counts 0 and 1 hold no further ids.
    for (std::uint8_t n : {0, 1}) {
        image[3] = n;
        EXPECT_TRUE(core::decodeNodeList(image, 124).ids.empty());
    }
    // An image too short for a header, or a size beyond the bytes given.
    EXPECT_FALSE(core::decodeNodeList(Bytes{0, 1, 0}, 2).header);
    EXPECT_EQ(core::decodeNodeList(Bytes{0, 1, 0, 2, 0x10}, 124).ids.size(), 0u);
    Bytes wrong = image;
    wrong[2] = 1;
    EXPECT_FALSE(core::decodeNodeList(wrong, 124).header);
}

} // namespace
