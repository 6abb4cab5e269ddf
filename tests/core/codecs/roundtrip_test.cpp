// The editor re-encodes every row from its shown text on each commit: for every field
// type, encode -> decode -> encode must give the same bits.

#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/datetext.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberformat.h"
#include "core/numeric/numberrules.h"
#include "core/teds/bitfields.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

namespace {

class RoundTrip : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    std::mt19937 rng{1451};
    core::TedsBuf tb;

    void SetUp() override { tb.dimension(64); }
    void TearDown() override { EXPECT_TRUE(box.shown.empty()); }

    std::uint64_t value(int pos, int n) const { return core::Bits2Val(tb, pos, n).low64(); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
};

} // namespace

TEST_F(RoundTrip, Unint)
{
    for (int i = 0; i < 2000; ++i) {
        const int n = pick(1, 32);
        const int pos = pick(0, 100);
        const double typed = std::uniform_real_distribution<double>(-10, 5e9)(rng);
        core::Val2Bits(*core::numeric::CLng(std::min(typed, 2147483647.0)), pos, n, tb);
        const std::uint64_t first = value(pos, n);
        const std::string shown = core::numeric::Format(static_cast<double>(first), "");
        core::Val2Bits(*core::numeric::CLng(*core::numeric::parseNumber(shown)), pos, n, tb);
        ASSERT_EQ(value(pos, n), first) << shown;
    }
}

TEST_F(RoundTrip, UnintHex)
{
    for (int i = 0; i < 2000; ++i) {
        const int n = pick(1, 64);
        const int pos = pick(0, 200);
        std::string typed;
        for (int k = pick(0, (n + 3) / 4); k > 0; --k)
            typed.push_back("0123456789abcdefABCDEF"[pick(0, 21)]);
        ASSERT_TRUE(core::HexToBits(typed, pos, n, tb));
        box.clear();  // overflow of a random text is reported; the low bits stay
        const std::uint64_t first = value(pos, n);
        std::string shown = core::BitsToHexString(tb, pos, n);
        ASSERT_TRUE(core::HexToBits(shown, pos, n, tb));
        ASSERT_EQ(value(pos, n), first);
    }
}

TEST_F(RoundTrip, ConRes)
{
    struct Params {
        double start, step;
        int bits;
    };
    const Params params[] = {{0, 0.1, 8}, {0.1, 0.1, 9}, {1, 0.1, 18}, {0, 0.5, 4}, {-10, 0.01, 12}, {1e-3, 1e-4, 16},
                             {-40, 0.5, 9}, {0, 1, 20}};
    for (const Params& p : params) {
        for (int i = 0; i < 300; ++i) {
            const double top = p.start + (std::ldexp(1.0, p.bits) - 1) * p.step;
            const double typed = std::uniform_real_distribution<double>(p.start - 1, top + 1)(rng);
            const std::string typedText = core::numeric::Format(typed, "0.000000");
            core::Val2Bits(*core::ConResEncode(typedText, p.start, p.step, p.bits), 0, p.bits, tb);
            const std::uint64_t first = value(0, p.bits);
            for (const char* fmt : {"rp", "r"}) {
                const std::string shown =
                    core::FormatSiNumber(p.start + static_cast<double>(first) * p.step, fmt, false, p.step);
                core::Val2Bits(*core::ConResEncode(shown, p.start, p.step, p.bits), 0, p.bits, tb);
                ASSERT_EQ(value(0, p.bits), first) << typedText << " shown " << shown << " step " << p.step;
            }
        }
    }
}

TEST_F(RoundTrip, ConRelRes)
{
    struct Params {
        double start, tol;
        int bits;
    };
    const Params params[] = {{1e-6, 0.15, 6}, {5e-7, 0.00015, 16}, {1, 0.01, 8}, {1e-3, 0.05, 10}, {1e12, 0.001, 12}};
    for (const Params& p : params) {
        for (int i = 0; i < 300; ++i) {
            const auto code = static_cast<std::int64_t>(pick(0, (1 << p.bits) - 2));
            const std::string typedText = core::FormatSiNumber(core::ConRelResDecode(code, p.start, p.tol), "0.000000p", false, 0);
            core::Val2Bits(*core::ConRelResEncode(typedText, p.start, p.tol, p.bits, 1), 0, p.bits, tb);
            const std::uint64_t first = value(0, p.bits);
            const double x = core::ConRelResDecode(static_cast<std::int64_t>(first), p.start, p.tol);
            const std::string shown = core::FormatSiNumber(x, "rp", true, p.tol);
            core::Val2Bits(*core::ConRelResEncode(shown, p.start, p.tol, p.bits, 1), 0, p.bits, tb);
            ASSERT_EQ(value(0, p.bits), first) << shown;
        }
    }
}

TEST_F(RoundTrip, Single)
{
    std::uniform_real_distribution<double> mantissa(-10, 10);
    for (int i = 0; i < 5000; ++i) {
        const double typed = std::ldexp(mantissa(rng), pick(-120, 120));
        const std::string typedText = core::numeric::Format(typed, "");
        core::Val2Bits(core::SingleToBits(typedText), 8, 32, tb);
        const std::uint64_t first = value(8, 32);
        const std::string shown = core::numeric::Format(core::SingleFromBits(static_cast<double>(first)), "");
        core::Val2Bits(core::SingleToBits(shown), 8, 32, tb);
        ASSERT_EQ(value(8, 32), first) << typedText << " shown " << shown;
    }
    // Patterns read from a node that no text of a finite number gives.
    for (std::uint32_t bits : {0x7F800000u, 0xFF800000u, 0x00400000u, 0x80000000u}) {
        core::Val2Bits(bits, 8, 32, tb);
        const std::string shown = core::numeric::Format(core::SingleFromBits(bits), "");
        core::Val2Bits(core::SingleToBits(shown), 8, 32, tb);
        EXPECT_EQ(value(8, 32), bits == 0x80000000u ? 0u : bits) << shown;
    }
}

TEST_F(RoundTrip, Chr5)
{
    const std::string alphabet = std::string(" ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz,./_@&#1") + "\xC6\xD8\xC5\xE6";
    for (int i = 0; i < 1000; ++i) {
        const int chars = pick(1, 12);
        std::string typed;
        for (int k = pick(0, chars + 2); k > 0; --k)
            typed.push_back(alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))]);
        core::StringToChr5Bits(typed, 3, chars, tb);
        const std::uint64_t first = value(3, 5 * chars);
        std::string shown;
        for (int c = 0; c < chars; ++c)
            shown += core::Chr5ToChar(static_cast<int>(value(3 + 5 * c, 5)));
        core::StringToChr5Bits(shown, 3, chars, tb);
        ASSERT_EQ(value(3, 5 * chars), first) << typed << " shown " << shown;
    }
}

TEST_F(RoundTrip, Date)
{
    constexpr int epoch = 35796;
    for (int i = 0; i < 3000; ++i) {
        const int days = pick(0, 65535);
        core::Val2Bits(days, 16, 16, tb);
        const auto first = static_cast<int>(value(16, 16));
        const std::string shown = core::numeric::formatDate(core::numeric::dateFromSerial(first + epoch), "mmmm d, yyyy");
        core::numeric::CivilDate d;
        ASSERT_TRUE(core::ParseDateText(shown, d)) << shown;
        core::Val2Bits(core::numeric::dateSerial(d) - epoch, 16, 16, tb);
        ASSERT_EQ(static_cast<int>(value(16, 16)), first) << shown;
    }
}
