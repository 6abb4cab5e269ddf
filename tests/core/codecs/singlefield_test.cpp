#include "core/codecs/singlefield.h"

#include "core/numeric/numberrules.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

using core::numeric::BigUInt;

namespace {
std::uint32_t pattern(const char* text) { return static_cast<std::uint32_t>(core::SingleToBits(text).low64()); }
} // namespace

TEST(Single, TextToPattern)
{
    struct Row {
        const char* text;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {"1", 0x3F800000u},       {"-2", 0xC0000000u},      {"0", 0},                  {"-0", 0},
        {"1,5", 0x3FC00000u},     {"2.5 V", 0x40200000u},   {"abc", 0},                {"", 0},
        {"0.1", 0x3DCCCCCDu},     {"3.4028235e38", 0x7F7FFFFFu}, {"1e39", 0x7F800000u}, {"-1e39", 0xFF800000u},
        {"Infinity", 0x7F800000u}, {"-Infinity", 0xFF800000u}, {"NaN", 0x7FC00000u},
        {"1.1754944e-38", 0x00800000u},  // 2^-126, the smallest normal
        {"1e-39", 0},                     // below 2^-127
        {"-1e-39", 0x80000000u},          // keeps its sign
        {"7.038531e-26", 0x15AE43FDu},    // rounded once: through a double it is one step off
        {"-7.038531E-26", 0x95AE43FDu},   {"+7.038531e-26", 0x15AE43FDu}, {"7,038531e-26 V", 0x15AE43FDu},
    };
    for (const Row& r : rows)
        EXPECT_EQ(pattern(r.text), r.bits) << r.text;
    EXPECT_EQ(core::SingleToBits("1").toString(), "1065353216");
    EXPECT_EQ(core::SingleToBits("-2").toString(), "3221225472");
}

TEST(Single, PatternToNumber)
{
    EXPECT_EQ(core::SingleFromBits(0), 0.0f);
    EXPECT_EQ(core::SingleFromBits(1065353216), 1.0f);
    EXPECT_EQ(core::SingleFromBits(3221225472.0), -2.0f);
    EXPECT_EQ(core::SingleFromBits(2147483648.0), 0.0f);  // sign only
    EXPECT_EQ(core::SingleFromBits(0x7F800000u), INFINITY);
    EXPECT_EQ(core::SingleFromBits(0xFF800000u), -INFINITY);
    EXPECT_TRUE(std::isnan(core::SingleFromBits(0x7FC00000u)));
    EXPECT_TRUE(std::isnan(core::SingleFromBits(0xFFFFFFFFu)));
    EXPECT_TRUE(std::isnan(core::SingleFromBits(1e20)));  // beyond 32 bits: all ones
    EXPECT_EQ(core::SingleFromBits(-5), 0.0f);
}

TEST(Single, BelowTheNormalRangeTheFieldRuleHolds)
{
    // [2^-127, 2^-126): exponent field 0 read with the implicit 1, both ways.
    const float x = std::ldexp(1.5f, -127);
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(x));
    EXPECT_EQ(pattern(text), 0x00400000u);
    EXPECT_EQ(core::SingleFromBits(0x00400000u), x);
    EXPECT_EQ(core::SingleFromBits(0x00000001u), std::ldexp(1.0f, -127));  // rounded to a single
}

TEST(Single, RandomFloatsMatchThePlatformPattern)
{
    std::mt19937 rng(2004);
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t bits = rng();
        const std::uint32_t exponent = (bits >> 23) & 0xFF;
        if (exponent == 0 || exponent == 255)
            continue;  // zero, subnormals, infinities and NaNs have rules of their own
        const float f = std::bit_cast<float>(bits);
        const std::string text = core::numeric::generalNumber(static_cast<double>(f));
        ASSERT_EQ(pattern(text.c_str()), bits) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(core::SingleFromBits(static_cast<double>(bits))), bits);
    }
}

TEST(Single, BinaryDigitTexts)
{
    EXPECT_EQ(core::BinTextToValue("101", 3).low64(), 5u);
    EXPECT_EQ(core::BinTextToValue("1", 3).low64(), 4u);  // the first position weighs 2^(n-1)
    EXPECT_EQ(core::BinTextToValue("1x1", 3).low64(), 5u);
    EXPECT_EQ(core::BinTextToValue("111", 0).low64(), 0u);
    EXPECT_EQ(core::BinTextToValue(std::string(64, '1'), 64).toString(), "18446744073709551615");

    EXPECT_EQ(core::ValueToBinText(5, 4), "0101");
    EXPECT_EQ(core::ValueToBinText(16, 4), "1111");
    EXPECT_EQ(core::ValueToBinText(15, 4), "1111");
    EXPECT_EQ(core::ValueToBinText(-1, 4), "0000");
    EXPECT_EQ(core::ValueToBinText(2.9, 3), "010");
    EXPECT_EQ(core::ValueToBinText(INFINITY, 3), "111");
    EXPECT_EQ(core::ValueToBinText(BigUInt::allOnes(64), 64), std::string(64, '1'));
    EXPECT_EQ(core::ValueToBinText(1, 0), "");
}
