#include "device/memimage/hexbytes.h"

#include <gtest/gtest.h>

using namespace device;

TEST(ClampByte, Limits)
{
    const std::pair<int, int> rows[] = {{300, 255}, {256, 255}, {255, 255}, {127, 127},
                                        {0, 0}, {-1, 0}, {-32768, 0}};
    for (auto [in, out] : rows)
        EXPECT_EQ(Clamp_Byte(in), out) << in;
}

TEST(BytesToHex, UpperCasePairsOfTheRange)
{
    const std::vector<std::uint8_t> a = {0x00, 0x0A, 0xFF, 0x5c};
    EXPECT_EQ(Bytes_To_Hex(a, 1, 2), "0AFF");
    EXPECT_EQ(Bytes_To_Hex(a, 1, 3), "0AFF5C");
    EXPECT_EQ(Bytes_To_Hex(a, 2, 1), "");
    EXPECT_EQ(Bytes_To_Hex(a, 3, 9), "5C");  // past the end: skipped
}

TEST(HexToBytes, ReadsPairsFromPosition)
{
    std::vector<std::uint8_t> a(4, 0x77);
    Hex_To_Bytes("0AFF", 1, a, 1, 2);
    EXPECT_EQ(a[1], 10);
    EXPECT_EQ(a[2], 255);
    EXPECT_EQ(a[0], 0x77);
    EXPECT_EQ(a[3], 0x77);

    // Position counts from 1 in the whole text; lower case accepted.
    Hex_To_Bytes("5,\"0a7f\"", 4, a, 0, 1);
    EXPECT_EQ(a[0], 0x0A);
    EXPECT_EQ(a[1], 0x7F);
}

TEST(HexToBytes, MissingOrBrokenPairsGiveZero)
{
    std::vector<std::uint8_t> a(5, 0x77);
    Hex_To_Bytes("4,\"AB\"", 4, a, 1, 4);
    EXPECT_EQ(a[1], 0xAB);
    EXPECT_EQ(a[2], 0);  // the closing quote: no hex digit
    EXPECT_EQ(a[3], 0);  // past the end
    EXPECT_EQ(a[4], 0);

    Hex_To_Bytes("7\"", 1, a, 1, 1);  // one digit before the quote
    EXPECT_EQ(a[1], 7);

    Hex_To_Bytes("", 1, a, 1, 1);
    EXPECT_EQ(a[1], 0);

    // Indexes outside the array are skipped, not written.
    Hex_To_Bytes("1122", 1, a, 4, 5);
    EXPECT_EQ(a[4], 0x11);
    EXPECT_EQ(a.size(), 5u);
}

TEST(HexBytes, RoundTrip)
{
    std::vector<std::uint8_t> a(33);
    for (int i = 0; i < 33; ++i)
        a[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 37 + 5);
    std::vector<std::uint8_t> b(33, 0);
    Hex_To_Bytes(Bytes_To_Hex(a, 1, 32), 1, b, 1, 32);
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)]);
}

// Any number of digits asked for: at most seven are read, so the value fits an int.
TEST(LeadingHexValue, BoundedToSevenDigits)
{
    struct Row {
        const char* text;
        std::size_t pos, maxDigits;
        int value;
    };
    const Row rows[] = {
        {"2D", 0, 2, 0x2D},          {"x2Dz", 1, 8, 0x2D},        {"FFFFFFFF", 0, 8, 0xFFFFFFF},
        {"FFFFFFFFFFFFFFFF", 0, 16, 0xFFFFFFF}, {"7FFFFFFF", 0, 100, 0x7FFFFFF}, {"G1", 0, 2, 0},
        {"AB", 5, 2, 0},             {"1234567", 0, 7, 0x1234567},
    };
    for (const Row& r : rows)
        EXPECT_EQ(leadingHexValue(r.text, r.pos, r.maxDigits), r.value) << r.text << " " << r.maxDigits;
}
