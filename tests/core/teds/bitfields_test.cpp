#include "core/teds/bitfields.h"

#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include "platform/base/messagebox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using core::TedsBuf;
using core::numeric::BigUInt;

namespace {

class BitFields : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    TedsBuf tb;

    void SetUp() override { tb.dimension(16); core::BytesToBits(tb); }

    // The field bits as text, most significant first, plus one guard bit either side:
    // "g|field|g".
    std::string field(int pos, int n) const
    {
        auto b = [&](int i) { return i >= 0 && i < tb.bitCount() ? (tb.Bits[static_cast<std::size_t>(i)] ? '1' : '0') : '-'; };
        std::string s(1, b(pos + n));
        s += '|';
        for (int i = pos + n - 1; i >= pos; --i)
            s += b(i);
        s += '|';
        s += b(pos - 1);
        return s;
    }
    void expectCriticalMessage(const std::string& text)
    {
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].prompt, text);
        EXPECT_EQ(box.shown[0].buttons, 16);
        EXPECT_EQ(box.shown[0].title, "");
        box.clear();
    }
};

// Reference: the image as one little-endian integer, field extracted by shift and mask.
unsigned __int128 word128(const TedsBuf& tb, int byteIndex)
{
    unsigned __int128 w = 0;
    for (int k = 15; k >= 0; --k) {
        const int i = byteIndex + k;
        w = (w << 8) | (i >= 1 && i <= tb.Size ? tb.Bytes[static_cast<std::size_t>(i)] : 0u);
    }
    return w;
}
std::uint64_t referenceField(const TedsBuf& tb, int pos, int n)
{
    const unsigned __int128 w = word128(tb, pos / 8 + 1) >> (pos % 8);
    return static_cast<std::uint64_t>(w & ((static_cast<unsigned __int128>(1) << n) - 1));
}

} // namespace

TEST_F(BitFields, Val2BitsLimitsAndRoundsDown)
{
    struct Row {
        core::numeric::Number value;
        int bits;
        const char* stored;
    };
    const Row rows[] = {
        {300, 8, "0|11111111|0"},
        {-5, 8, "0|00000000|0"},
        {4294967295.0, 32, "0|11111111111111111111111111111111|0"},
        {2.9, 8, "0|00000010|0"},
        {(0.3 - 0) / 0.1, 4, "0|0011|0"},  // 2.9999999999999996 is code 3
        {(2.5 - 0.1) / 0.1, 9, "0|000011000|0"},
        {1e300, 4, "0|1111|0"},
        {INFINITY, 4, "0|1111|0"},
        {-INFINITY, 4, "0|0000|0"},
        {"12", 8, "0|00001100|0"},
        {" 2,5 ", 8, "0|00000010|0"},
        {"18446744073709551615", 8, "0|11111111|0"},
        {BigUInt::allOnes(64), 5, "0|11111|0"},
        {BigUInt(6), 3, "0|110|0"},
        {std::int64_t{-1}, 3, "0|000|0"},
    };
    for (const Row& r : rows) {
        std::fill(tb.Bits.begin(), tb.Bits.end(), false);
        core::Val2Bits(r.value, 20, r.bits, tb);
        EXPECT_EQ(field(20, r.bits), r.stored) << r.value.display();
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(BitFields, Val2BitsRefusals)
{
    std::fill(tb.Bits.begin(), tb.Bits.end(), true);
    const auto before = tb.Bits;
    core::Val2Bits(1, 0, 33, tb);
    expectCriticalMessage("Error number field to large, must be less than 32, and is 33");
    core::Val2Bits("abc", 0, 8, tb);
    expectCriticalMessage("Error in Sub Val2Bits. ValueIn = abc. NoOfBits = 8");
    core::Val2Bits(std::nan(""), 0, 8, tb);
    expectCriticalMessage("Error in Sub Val2Bits. ValueIn = NaN. NoOfBits = 8");
    core::Val2Bits(1, 125, 8, tb);  // 16-byte image: bits 0 .. 127
    expectCriticalMessage("Error field outside TEDS image, BitPos = 125. NoOfBits = 8. Bits in image = 128");
    core::Val2Bits(1, -1, 2, tb);
    expectCriticalMessage("Error field outside TEDS image, BitPos = -1. NoOfBits = 2. Bits in image = 128");
    core::Val2Bits(1, 0, 0, tb);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(tb.Bits, before);
    core::Val2Bits(0, 120, 8, tb);  // the last byte is inside
    EXPECT_EQ(field(120, 8), "-|00000000|1");
}

TEST_F(BitFields, Bits2ValIsExactAtAnyWidth)
{
    std::fill(tb.Bits.begin(), tb.Bits.end(), true);
    EXPECT_EQ(core::Bits2Val(tb, 3, 64).toString(), "18446744073709551615");
    EXPECT_EQ(core::Bits2Val(tb, 0, 100).toString(), "1267650600228229401496703205375");
    EXPECT_TRUE(core::Bits2Val(tb, 0, 0).isZero());
    EXPECT_TRUE(core::Bits2Val(tb, 0, -3).isZero());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(core::Bits2Val(tb, 120, 9).isZero());
    expectCriticalMessage("Error field outside TEDS image, BitPos = 120. NoOfBits = 9. Bits in image = 128");
}

TEST_F(BitFields, FillFieldOnes)
{
    core::FillFieldOnes(10, 31, tb);
    EXPECT_EQ(field(10, 31), "0|1111111111111111111111111111111|0");
    std::fill(tb.Bits.begin(), tb.Bits.end(), false);
    core::FillFieldOnes(10, 32, tb);
    expectCriticalMessage("Error number field to large, must be less than 31, and is 32");
    EXPECT_EQ(core::Bits2Val(tb, 0, 64).toString(), "0");
    core::FillFieldOnes(126, 3, tb);
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(core::Bits2Val(tb, 120, 8).toString(), "0");
}

TEST_F(BitFields, HexToBits)
{
    struct Row {
        const char* text;
        int bits;
        const char* before;  // hex held by the 16-bit field at 8 before the write
        const char* after;   // the field and its guards after
        const char* callerText;
        bool overflow;
    };
    const Row rows[] = {
        {"abc", 12, "0000", "0|101010111100|0", "0abc", false},
        {"1ABC", 12, "0000", "0|101010111100|0", "1ABC", true},
        {"5", 16, "1234", "0|0000000000000101|0", "05", false},
        {"", 8, "FFFF", "1|00000000|0", "", false},
        {"0001", 4, "0000", "0|0001|0", "0001", false},
        {"FF", 4, "0000", "0|1111|0", "FF", true},
    };
    for (const Row& r : rows) {
        std::fill(tb.Bits.begin(), tb.Bits.end(), false);
        std::string before = r.before;
        ASSERT_TRUE(core::HexToBits(before, 8, 16, tb));
        std::string text = r.text;
        EXPECT_TRUE(core::HexToBits(text, 8, r.bits, tb));
        EXPECT_EQ(field(8, r.bits), r.after) << r.text;
        EXPECT_EQ(text, r.callerText);
        if (r.overflow)
            expectCriticalMessage("overflow in hex when creating binary image");
        EXPECT_TRUE(box.shown.empty()) << r.text;
        box.clear();
    }
}

TEST_F(BitFields, HexToBitsChecksTheWholeTextFirst)
{
    std::string init = "1234";
    ASSERT_TRUE(core::HexToBits(init, 0, 16, tb));
    for (const char* bad : {"12G4", "12 4", "0x12", "+1"}) {
        std::string text = bad;
        EXPECT_FALSE(core::HexToBits(text, 0, 16, tb)) << bad;
        EXPECT_EQ(text, bad);
        EXPECT_EQ(core::BitsToHexString(tb, 0, 16), "1234") << bad;
    }
    std::string odd = "ABC";
    EXPECT_FALSE(core::HexToBits(odd, 120, 12, tb));
    expectCriticalMessage("Error field outside TEDS image, BitPos = 120. NoOfBits = 12. Bits in image = 128");
}

TEST_F(BitFields, BitsToHexStringWidths)
{
    std::string abc = "ABC";
    ASSERT_TRUE(core::HexToBits(abc, 4, 12, tb));
    // The bit after a 12-bit field does not count.
    for (bool after : {false, true}) {
        tb.Bits[16] = after;
        EXPECT_EQ(core::BitsToHexString(tb, 4, 12), "0ABC");
    }
    tb.Bits[16] = false;
    struct Row {
        int bits;
        const char* hex;
    };
    for (const Row& r : {Row{0, ""}, {4, "0C"}, {8, "BC"}, {9, "00BC"}, {17, "000ABC"}})
        EXPECT_EQ(core::BitsToHexString(tb, 4, r.bits), r.hex) << r.bits;
    EXPECT_EQ(core::BitsToHexString(tb, 127, 2), "");
    expectCriticalMessage("Error field outside TEDS image, BitPos = 127. NoOfBits = 2. Bits in image = 128");
}

TEST_F(BitFields, AgainstAnIndependentReferenceWithGuardBits)
{
    std::mt19937 rng(1451);
    TedsBuf img;
    img.dimension(40);
    for (int round = 0; round < 3000; ++round) {
        for (int i = 1; i <= img.Size; ++i)
            img.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rng());
        core::BytesToBits(img);
        const int n = 1 + static_cast<int>(rng() % 64);
        const int pos = static_cast<int>(rng() % static_cast<unsigned>(img.bitCount() - n + 1));

        // reading
        const std::uint64_t expect = referenceField(img, pos, n);
        ASSERT_EQ(core::Bits2Val(img, pos, n).low64(), expect) << pos << "/" << n;
        std::string hex = core::BitsToHexString(img, pos, n);
        ASSERT_EQ(hex.size(), static_cast<std::size_t>((n + 7) / 8 * 2));
        ASSERT_EQ(std::stoull(hex, nullptr, 16), expect);

        // writing: only the field changes
        const auto bytesBefore = img.Bytes;
        const std::uint64_t mask = n == 64 ? ~0ull : (1ull << n) - 1;
        const std::uint64_t value = (static_cast<std::uint64_t>(rng()) << 32 | rng()) & mask;
        if (n <= 32)
            core::Val2Bits(value, pos, n, img);
        else {
            core::Val2Bits(BigUInt(value), pos, n, img);  // refused: more than 32 bits
            ASSERT_EQ(box.shown.size(), 1u);
            box.clear();
            char buf[17];
            std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value));
            std::string text = buf;
            ASSERT_TRUE(core::HexToBits(text, pos, n, img));
        }
        core::BitsToBytes(img);
        TedsBuf expectImg;
        expectImg.dimension(img.Size);
        expectImg.Bytes = bytesBefore;
        for (int j = 0; j < n; ++j) {
            const int a = pos + j;
            auto& byte = expectImg.Bytes[static_cast<std::size_t>(a / 8 + 1)];
            const auto bit = static_cast<std::uint8_t>(1u << (a % 8));
            byte = ((value >> j) & 1u) ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
        }
        ASSERT_EQ(img.Bytes, expectImg.Bytes) << pos << "/" << n;
        ASSERT_EQ(referenceField(img, pos, n), value);
        ASSERT_TRUE(box.shown.empty());
    }
}

TEST(ManufacturerIndex, SearchesOnlyTheIdsRead)
{
    const std::vector<std::int32_t> ids{31, 0, 77, 31};
    EXPECT_EQ(core::ManufacturerIndexFromId(31, ids), 0);
    EXPECT_EQ(core::ManufacturerIndexFromId(77, ids), 2);
    EXPECT_EQ(core::ManufacturerIndexFromId(0, ids), 1);
    EXPECT_EQ(core::ManufacturerIndexFromId(5, ids), 3);  // not listed: the last position
    EXPECT_EQ(core::ManufacturerIndexFromId(5, ids, 10), 9);

    // Unfilled slots do not answer for 0 or -1.
    const std::vector<std::int32_t> two{12, 13};
    EXPECT_EQ(core::ManufacturerIndexFromId(0, two), 1);
    EXPECT_EQ(core::ManufacturerIndexFromId(-1, two), 1);
    EXPECT_EQ(core::ManufacturerIndexFromId(0, std::span<const std::int32_t>{}), -1);

    // No more than 4097 positions count.
    std::vector<std::int32_t> many(5000, 1);
    many[4096] = 2;
    many[4097] = 3;
    EXPECT_EQ(core::ManufacturerIndexFromId(2, many), 4096);
    EXPECT_EQ(core::ManufacturerIndexFromId(3, many), 4999);
}

TEST(ManufacturerIndex, ListAsReadFromItsFile)
{
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    testing_support::TempDir dir;
    core::resetListsState();
    const auto p = dir.write("ManufacturerList.xdl", "Manufacturer List Description Version 0.2\r\n"
                                                     "31, HBM\r\n61, Metra\r\n4096, Unknown manufacturer\r\n");
    core::ReadManufacturerList(p, core::listsState().Manufacturers);
    struct Row {
        std::int32_t id;
        int index;
    };
    // 0 and -1 sit in the table's unfilled slots (3 .. 16 and 17 .. 4096), not in the list.
    for (const Row& r : {Row{31, 0}, {61, 1}, {4096, 2}, {0, 2}, {-1, 2}, {17, 2}})
        EXPECT_EQ(core::ManufacturerIndexFromId(r.id), r.index) << r.id;
    core::resetListsState();
    EXPECT_EQ(core::ManufacturerIndexFromId(0), -1);
    EXPECT_TRUE(box.shown.empty());
}
