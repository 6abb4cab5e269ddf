#include "core/numeric/biguint.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using core::numeric::BigUInt;

TEST(BigUInt, AllOnesAndPowersAsDecimalText)
{
    EXPECT_EQ(BigUInt::allOnes(64).toString(), "18446744073709551615");
    EXPECT_EQ(BigUInt::allOnes(32).toString(), "4294967295");
    EXPECT_EQ(BigUInt::allOnes(96).toString(), "79228162514264337593543950335");
    EXPECT_EQ(BigUInt::allOnes(0).toString(), "0");
    EXPECT_EQ(BigUInt::pow2(100).toString(), "1267650600228229401496703205376");
    EXPECT_EQ(BigUInt::allOnes(65), BigUInt::pow2(65) - BigUInt(1));
    EXPECT_EQ(BigUInt::allOnes(12).bitLength(), 12);
}

TEST(BigUInt, DecimalTextRoundTrip)
{
    for (const char* s : {"0", "1", "999999999", "1000000000", "18446744073709551616", "123456789012345678901234567890"}) {
        const auto v = BigUInt::fromDecimal(s);
        ASSERT_TRUE(v) << s;
        EXPECT_EQ(v->toString(), s);
    }
    EXPECT_FALSE(BigUInt::fromDecimal(""));
    EXPECT_FALSE(BigUInt::fromDecimal("12a"));
    EXPECT_FALSE(BigUInt::fromDecimal("-1"));
}

TEST(BigUInt, ArithmeticAgainstU64)
{
    std::mt19937_64 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t a = rng() >> (rng() % 64);
        const std::uint64_t b = rng() >> (rng() % 64);
        const BigUInt x(a);
        const BigUInt y(b);
        EXPECT_EQ(x.low64(), a);
        EXPECT_EQ(x.toString(), std::to_string(a));
        EXPECT_EQ(x < y, a < b);
        EXPECT_EQ(x == y, a == b);
        if (a >= b)
            EXPECT_EQ((x - y).low64(), a - b);
        else
            EXPECT_TRUE((x - y).isZero());
        const BigUInt sum = x + y;
        EXPECT_EQ(sum.low64(), a + b);  // low 64 bits, carry above
        EXPECT_EQ(sum.bit(64), a + b < a);
    }
}

TEST(BigUInt, FromAndToDouble)
{
    EXPECT_EQ(BigUInt::fromDouble(2.9).low64(), 2u);
    EXPECT_TRUE(BigUInt::fromDouble(-5).isZero());
    EXPECT_TRUE(BigUInt::fromDouble(0.99).isZero());
    EXPECT_EQ(BigUInt::fromDouble(4294967295.0).low64(), 4294967295u);
    EXPECT_EQ(BigUInt::fromDouble(9007199254740993.0).low64(), 9007199254740992u);  // nearest double
    EXPECT_EQ(BigUInt::fromDouble(1e20).toString(), "100000000000000000000");
    EXPECT_DOUBLE_EQ(BigUInt::allOnes(64).toDouble(), 18446744073709551615.0);
    EXPECT_DOUBLE_EQ(BigUInt::pow2(80).toDouble(), 1208925819614629174706176.0);
}
