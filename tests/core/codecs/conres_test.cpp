#include "core/codecs/conres.h"

#include "core/teds/bitfields.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"

#include <gtest/gtest.h>

#include <cmath>

class ConRes : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(ConRes, LinearCodes)
{
    struct Row {
        const char* text;
        double start;
        double step;
        int bits;
        double code;  // after Val2Bits keeps the integer part
    };
    const Row rows[] = {
        {"5mm\xB3", 0, 1, 8, 5},        // the unit is no milli prefix
        {"5m", 0, 0.001, 8, 5},
        {"0.3", 0, 0.1, 8, 3},           // 2.9999999999999996 before the decimal rule
        {"2.5", 0.1, 0.1, 9, 24},
        {"2,5", 0.1, 0.1, 9, 24},
        {"1", 0.1, 0.1, 9, 9},
        {"6 V", 0.1, 0.1, 9, 59},
        {"40", 1, 0.1, 18, 390},
        {"-3", 0, 1, 4, 0},              // below start
        {"99", 0, 1, 4, 15},             // above the largest code
        {"", 2, 1, 4, 0},
        {"abc", 2, 1, 4, 0},
        {"7.9", 0, 0.5, 4, 15},
    };
    for (const Row& r : rows) {
        const auto q = core::ConResEncode(r.text, r.start, r.step, r.bits);
        ASSERT_TRUE(q) << r.text;
        core::TedsBuf tb;
        tb.dimension(4);
        core::Val2Bits(*q, 0, r.bits, tb);
        EXPECT_EQ(core::Bits2Val(tb, 0, r.bits).toDouble(), r.code) << r.text;
    }
    EXPECT_DOUBLE_EQ(*core::ConResEncode("2.5", 0.1, 0.1, 9), (2.5 - 0.1) / 0.1);  // not rounded here
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ConRes, ZeroStepIsReported)
{
    EXPECT_FALSE(core::ConResEncode("5", 0, 0, 8));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].buttons, 16);
    EXPECT_EQ(box.shown[0].title, "");
    EXPECT_FALSE(core::ConResEncode("5", 0, std::nan(""), 8));
}

TEST_F(ConRes, LogarithmicCodes)
{
    struct Row {
        const char* text;
        double start;
        double tol;
        int bits;
        double scale;
        double code;
    };
    const Row rows[] = {
        {"1u", 1e-6, 0.15, 6, 1, 0},
        {"1.3u", 1e-6, 0.15, 6, 1, 1},
        {"1.69\xB5", 1e-6, 0.15, 6, 1, 2},
        {"0.5u", 1e-6, 0.15, 6, 1, 0},    // below start
        {"-1", 1e-6, 0.15, 6, 1, 0},
        {"", 1e-6, 0.15, 6, 1, 0},
        {"1", 1e-6, 0.15, 6, 1, 53},
        {"100", 1e-6, 0.15, 6, 1, 63},    // above the largest code value
        {"1.3", 1, 0.15, 32, 1, 1},
        {"1V/pC", 1e12, 0.001, 16, 1e12, 0},  // scale applied before limiting
        {"1.002V/pC", 1e12, 0.001, 16, 1e12, 1},
    };
    for (const Row& r : rows) {
        const auto c = core::ConRelResEncode(r.text, r.start, r.tol, r.bits, r.scale);
        ASSERT_TRUE(c) << r.text;
        EXPECT_EQ(*c, r.code) << r.text;
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ConRes, LogarithmicParameterErrors)
{
    EXPECT_FALSE(core::ConRelResEncode("5", 0, 0.1, 8, 1));
    EXPECT_FALSE(core::ConRelResEncode("5", -1, 0.1, 8, 1));
    EXPECT_FALSE(core::ConRelResEncode("5", 1, 0, 8, 1));
    EXPECT_FALSE(core::ConRelResEncode("5", 1, -0.5, 8, 1));
    EXPECT_EQ(box.shown.size(), 4u);
    for (const auto& m : box.shown)
        EXPECT_EQ(m.buttons, 16);
}

TEST_F(ConRes, Decode)
{
    EXPECT_DOUBLE_EQ(core::ConRelResDecode(0, 1e-6, 0.15), 1e-6);
    EXPECT_DOUBLE_EQ(core::ConRelResDecode(2, 1, 0.15), 1.69);
    // Codes of a 32-bit field do not wrap.
    const double top = core::ConRelResDecode(4294967295LL, 1, 1e-10);
    EXPECT_NEAR(top, std::exp(4294967295.0 * std::log1p(2e-10)), 1e-6);
    EXPECT_GT(top, 1);
    // Every code of a small field reads back as itself.
    for (int code = 0; code < 64; ++code) {
        const double x = core::ConRelResDecode(code, 5e-7, 0.00015);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", x);
        EXPECT_EQ(*core::ConRelResEncode(buf, 5e-7, 0.00015, 6, 1), code);
    }
}
