#include "core/numeric/numberrules.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace n = core::numeric;

TEST(NumberRules, FifteenDigitDecimalBeforeTheIntegerPart)
{
    // Quotients that fall just below an integer in binary come out whole.
    EXPECT_EQ(n::decimalInt((0.3 - 0) / 0.1), 3);
    EXPECT_EQ(std::floor((0.3 - 0) / 0.1), 2);  // what plain truncation would give
    EXPECT_EQ(n::decimalInt((2.5 - 0.1) / 0.1), 24);
    EXPECT_EQ(n::decimalInt((1 - 0.1) / 0.1), 9);
    EXPECT_EQ(n::decimalInt(2.9), 2);
    EXPECT_EQ(n::decimalInt(-0.5), -1);
    EXPECT_EQ(n::decimalInt(4294967295.0), 4294967295.0);
    EXPECT_EQ(n::round15(0.1 + 0.2), 0.3);
    EXPECT_EQ(n::round15(123456789012345678.0), 123456789012346000.0);
    EXPECT_EQ(n::round15(0), 0);
}

TEST(NumberRules, IntegerConversionsRoundHalvesToEven)
{
    struct Row {
        double in;
        double out;
    };
    for (const Row& r : {Row{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3},
                         {-0.4, 0}, {7, 7}})
        EXPECT_EQ(n::roundHalfEven(r.in), r.out) << r.in;
    EXPECT_EQ(n::CLng(2147483647.4), 2147483647);
    EXPECT_FALSE(n::CLng(2147483647.5));
    EXPECT_EQ(n::CLng(-2147483648.0), -2147483647 - 1);
    EXPECT_FALSE(n::CLng(1e10));
    EXPECT_FALSE(n::CLng(std::nan("")));
    EXPECT_EQ(n::CInt(32767.4), 32767);
    EXPECT_FALSE(n::CInt(32767.5));
    EXPECT_EQ(n::Int(-2.5), -3);
    EXPECT_EQ(n::Fix(-2.5), -2);
}

TEST(NumberRules, LeadingNumber)
{
    struct Row {
        const char* text;
        double value;
        std::size_t used;
    };
    const Row rows[] = {
        {"4.7", 4.7, 3},    {"-12.5e3xyz", -12500, 7}, {"1e", 1, 1},     {"1e-", 1, 1},   {"2E+2", 200, 4},
        {".5", 0.5, 2},     {"5.", 5, 2},              {"1.2.3", 1.2, 3}, {"--1", 0, 0},  {"abc", 0, 0},
        {"", 0, 0},         {"-", 0, 0},               {"+3", 3, 2},    {"10 mV", 10, 2}, {"4,7", 4, 1},
        {"1-2", 1, 1},
    };
    for (const Row& r : rows) {
        std::size_t used = 99;
        EXPECT_DOUBLE_EQ(n::leadingNumber(r.text, &used), r.value) << r.text;
        EXPECT_EQ(used, r.used) << r.text;
    }
    EXPECT_TRUE(std::isinf(n::leadingNumber("1e999")));
    EXPECT_EQ(n::leadingNumber("1e-999"), 0);
}

// Exponents of any length: beyond the double range the value is infinite or zero.
TEST(NumberRules, HugeExponentsSaturate)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"9E9223372036854775807", inf},        {"-9E9223372036854775807", -inf},
        {"1E-9223372036854775808", 0},         {".0001E-9223372036854775808", 0},
        {"1E99999999999999999999999999", inf}, {"123456789012345678901234567890E-9223372036854775807", 0},
        {"0E9223372036854775807", 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(n::leadingNumber(r.text), r.value) << r.text;
        EXPECT_EQ(n::Val(r.text), r.value) << r.text;
        EXPECT_EQ(n::parseNumber(r.text), r.value) << r.text;
    }
}

// Short numbers take a shorter way to their value: it must be the correctly rounded
// double, as for every other number (the C library's reading is the reference).
TEST(NumberRules, ShortNumbersAreCorrectlyRounded)
{
    std::mt19937 rng(1451);
    const auto digits = [&](std::size_t n) {
        std::string d;
        for (std::size_t i = 0; i < n; ++i)
            d.push_back(static_cast<char>('0' + rng() % 10));
        return d;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = rng() % 4 == 0 ? "-" : "";
        const std::size_t total = 1 + rng() % 18;
        const std::size_t point = rng() % (total + 1);
        text += digits(point);
        if (point < total || rng() % 2 == 0)
            text += "." + digits(total - point);
        if (rng() % 3 == 0)
            text += std::string(rng() % 2 ? "e" : "E") + (rng() % 2 ? "-" : rng() % 2 ? "+" : "") + digits(1 + rng() % 3);
        if (text == "." || text == "-.")
            continue;
        const double expected = std::strtod(text.c_str(), nullptr);
        std::size_t used = 0;
        const double got = n::leadingNumber(text, &used);
        ASSERT_EQ(used, text.size()) << text;
        ASSERT_EQ(std::signbit(got), std::signbit(expected)) << text;
        ASSERT_EQ(got, expected) << text;
        ASSERT_EQ(n::Val(text), expected) << text;
        ASSERT_EQ(n::parseNumber(text, false), expected) << text;
    }
    EXPECT_EQ(n::parseNumber(" 000000000000042 "), 42);
    EXPECT_EQ(n::Val("999999999999999"), 999999999999999.0);
    EXPECT_EQ(n::Val("9999999999999999"), 1e16);
    EXPECT_TRUE(std::signbit(n::Val("-0")));
}

TEST(NumberRules, ValSkipsBlanksAndReadsRadixPrefixes)
{
    EXPECT_EQ(n::Val(" 1615 198th Street"), 1615198);
    EXPECT_EQ(n::Val("&H1F"), 31);
    EXPECT_EQ(n::Val("&hff"), 255);
    EXPECT_EQ(n::Val("&O17"), 15);
    EXPECT_EQ(n::Val("&HG"), 0);
    EXPECT_EQ(n::Val("\t-2.5e1"), -25);
    EXPECT_EQ(n::Val("x1"), 0);
}

TEST(NumberRules, WholeTextNumbers)
{
    EXPECT_EQ(n::parseNumber(" 1,5 "), 1.5);
    EXPECT_FALSE(n::parseNumber("1,5", false));
    EXPECT_EQ(n::parseNumber("1.5", false), 1.5);
    EXPECT_EQ(n::parseNumber("-3e2"), -300);
    EXPECT_EQ(n::parseNumber("&H10"), 16);
    EXPECT_EQ(n::parseNumber("+.5"), 0.5);
    EXPECT_FALSE(n::parseNumber(""));
    EXPECT_FALSE(n::parseNumber("1.5 V"));
    EXPECT_FALSE(n::parseNumber("1.2.3"));
    EXPECT_FALSE(n::parseNumber("e5"));
    EXPECT_TRUE(n::IsNumeric("42"));
    EXPECT_FALSE(n::IsNumeric("4 2"));
}

TEST(NumberRules, GeneralNumberForm)
{
    struct Row {
        double in;
        const char* out;
    };
    const Row rows[] = {
        {0, "0"},           {5, "5"},           {-3, "-3"},
        {0.5, "0.5"},       {2.5000000000000004, "2.5"}, {1e-6, "1E-06"},
        {0.0001, "0.0001"}, {0.00001, "1E-05"}, {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},    {1.5e20, "1.5E+20"}, {1.0 / 3, "0.333333333333333"},
        {-1e-100, "-1E-100"}, {4294967295.0, "4294967295"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(n::generalNumber(r.in), r.out) << r.in;
    EXPECT_EQ(n::generalNumber(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(n::generalNumber(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(n::generalNumber(std::nan("")), "NaN");
    EXPECT_EQ(n::Str(5), " 5");
    EXPECT_EQ(n::Str(-3), "-3");
    EXPECT_EQ(n::Str(0.5), " .5");
    EXPECT_EQ(n::Str(-0.5), "-.5");
}

TEST(NumberRules, PointWhateverTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(n::generalNumber(2.5), "2.5");
    EXPECT_EQ(n::parseNumber("2.5"), 2.5);
    EXPECT_EQ(n::round15(0.1 + 0.2), 0.3);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

namespace {
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(NumberRules, PointWhateverTheStreamLocale)
{
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    EXPECT_EQ(n::generalNumber(2.5), "2.5");
    EXPECT_EQ(n::parseNumber("2.5"), 2.5);
    EXPECT_EQ(n::leadingNumber("1.25e1"), 12.5);
    std::locale::global(saved);
}
