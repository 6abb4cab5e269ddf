#include "core/codecs/sinumber.h"

#include "core/base/corestate.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SiNumber, Reading)
{
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"4,7k", 4700},    {"10 mV", 10},      {"3M", 3e6},      {"3m", 0.003},   {"", 0},
        {"2.5u", 2.5e-6},  {"2.5\xB5V", 2.5e-6}, {"-5n", -5e-9},  {"7p", 7e-12},   {"1.5G", 1.5e9},
        {"2T", 2e12},      {"1e3k", 1e6},      {"abc", 0},       {"k", 0},        {"12", 12},
        {"5mm\xB3", 0.005}, {"1.2.3k", 1200},  {"3 k", 3},       {"3K", 3},       {"-", 0},
    };
    for (const Row& r : rows)
        EXPECT_DOUBLE_EQ(core::ParseSiNumber(r.text), r.value) << r.text;
    EXPECT_DOUBLE_EQ(core::siReading("5mm\xB3", true), 5);
    EXPECT_DOUBLE_EQ(core::siReading("5mV", true), 0.005);
}

// A unit that begins with a prefix letter goes before the number is read.
TEST(SiNumber, UnitTakenOff)
{
    struct Row {
        const char* text;
        const char* unit;
        const char* stripped;
        double value;
    };
    const Row rows[] = {
        {"1.17mm\xB2", "mm\xB2", "1.17", 1.17},      {"1.17mmm\xB2", "mm\xB2", "1.17m", 1.17e-3},
        {"2.5 m\xB3", "m\xB3", "2.5", 2.5},         {"3mV/PA ", "mV/PA", "3", 3},
        {"3mmV/PA", "mV/PA", "3m", 3e-3},            {"5ms", "s", "5m", 5e-3},
        {"4.7k", "Ohm", "4.7k", 4700},               {"mm\xB2", "mm\xB2", "mm\xB2", 0},
        {"7", "", "7", 7},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(core::StripUnit(r.text, r.unit), r.stripped) << r.text;
        EXPECT_DOUBLE_EQ(core::ParseSiNumber(core::StripUnit(r.text, r.unit)), r.value) << r.text;
    }
}

class SiFormat : public ::testing::Test {
protected:
    void TearDown() override { core::coreState().JapaneseWindows = false; }
};

TEST_F(SiFormat, PrefixAndPatterns)
{
    struct Row {
        double value;
        const char* fmt;
        bool relative;
        double resolution;
        const char* text;
    };
    const Row rows[] = {
        {0.0025, "0.00p", false, 0, "2.50m"},
        {1500, "0.0p", false, 0, "1.5k"},
        {5, "0.00p", false, 0, "5.00"},
        {-3e-13, "0.0p", false, 0, "-0.3p"},
        {1e-15, "0p", false, 0, "0p"},
        {5e15, "0p", false, 0, "5000T"},
        {0, "0.0p", false, 0, "0.0"},
        {1000, "0.00p", false, 0, "1.00k"},
        {999.9, "0.0p", false, 0, "999.9"},
        {1e-6, "0.0p", false, 0, "1.0\xB5"},
        {2.5, "0.00", false, 0, "2.50"},
        {1234.5, "", false, 0, "1234.5"},
        // decimals from the resolution
        {3.14159, "r", false, 0.01, "3.14"},
        {3.14159, "r", false, 0.5, "3.1"},
        {3.14159, "r", false, 2, "3"},
        {0, "r", false, 0.5, "0.00"},
        {7, "rp", false, 0.5, "7.0"},
        {1500, "rp", true, 0.001, "1.500k"},
        {2e-6, "rp", true, 0.15, "2.0\xB5"},
        {1e-6, "rp", false, 1e-7, "1.00\xB5"},  // 1e-7 * 1e6 is just below 0.1 in binary
        // a negative or zero resolution ends
        {3.14159, "r", false, -0.01, "3.14"},
        {3.14159, "r", false, 0, "3.1"},
        {3.14159, "r", true, 0, "3.1"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(core::FormatSiNumber(r.value, r.fmt, r.relative, r.resolution), r.text)
            << r.value << " " << r.fmt << " " << r.resolution;
}

TEST_F(SiFormat, MicroLetterOfTheCodePage)
{
    EXPECT_EQ(core::FormatSiNumber(2.5e-6, "0.0p", false, 0), "2.5\xB5");
    core::coreState().JapaneseWindows = true;
    EXPECT_EQ(core::FormatSiNumber(2.5e-6, "0.0p", false, 0), "2.5u");
    EXPECT_EQ(core::FormatSiNumber(2.5e-3, "0.0p", false, 0), "2.5m");
}

TEST_F(SiFormat, NotFiniteValuesEnd)
{
    EXPECT_EQ(core::FormatSiNumber(INFINITY, "0.0p", false, 0), "Infinity");
    EXPECT_EQ(core::FormatSiNumber(-INFINITY, "0.0p", false, 0), "-Infinity");
    EXPECT_EQ(core::FormatSiNumber(std::nan(""), "rp", true, 0.1), "NaN");
}

TEST_F(SiFormat, ShownTextReadsBack)
{
    for (double v : {0.0025, 1500.0, 4.7e3, 3.3e-9, 12.0, 47e-12, 2.2e6, 1.0e12, 0.5}) {
        const std::string text = core::FormatSiNumber(v, "0.00p", false, 0);
        EXPECT_NEAR(core::ParseSiNumber(text), v, v * 1e-9) << text;
    }
}
