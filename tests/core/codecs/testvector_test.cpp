// A public bridge-sensor TEDS (DS2431, template 33) decoded field by field, and the
// decoded texts encoded again into the same bytes.

#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/datetext.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberformat.h"
#include "core/teds/bitfields.h"
#include "platform/base/messagebox.h"
#include "tests/core/bridgevector.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int kDateEpoch = 35796;

std::uint64_t field(const core::TedsBuf& tb, int pos, int n) { return core::Bits2Val(tb, pos, n).low64(); }

class TestVector : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    core::TedsBuf tb = testing_support::bridgeVector();
    void TearDown() override { EXPECT_TRUE(box.shown.empty()); }
};

} // namespace

TEST_F(TestVector, BasicTeds)
{
    EXPECT_EQ(field(tb, 0, 14), 31u);    // manufacturer id
    EXPECT_EQ(field(tb, 14, 15), 393u);  // model number
    EXPECT_EQ(core::Chr5ToChar(static_cast<int>(field(tb, 29, 5))), " ");  // version letter
    EXPECT_EQ(field(tb, 34, 6), 0u);     // version number
    EXPECT_EQ(field(tb, 40, 24), 0u);    // serial number
    EXPECT_EQ(core::BitsToHexString(tb, 0, 14), "001F");
    EXPECT_EQ(core::BitsToHexString(tb, 14, 15), "0189");
}

TEST_F(TestVector, TemplateFields)
{
    EXPECT_EQ(field(tb, 64, 2), 0u);    // selector: IEEE template follows
    EXPECT_EQ(field(tb, 66, 8), 33u);   // template id
    EXPECT_EQ(field(tb, 74, 6), 7u);    // measurand case
    EXPECT_EQ(core::SingleFromBits(static_cast<double>(field(tb, 80, 32))), 0.0f);
    EXPECT_EQ(field(tb, 144, 2), 2u);   // precision case
    EXPECT_EQ(field(tb, 210, 2), 1u);   // bridge type

    EXPECT_EQ(field(tb, 212, 18), 390u);
    EXPECT_DOUBLE_EQ(1 + 390 * 0.1, 40);
    EXPECT_DOUBLE_EQ(core::ConRelResDecode(static_cast<std::int64_t>(field(tb, 230, 6)), 1e-6, 0.15), 1e-6);
    const double excite = 0.1 + static_cast<double>(field(tb, 236, 9)) * 0.1;
    EXPECT_EQ(excite, 2.5000000000000004);
    EXPECT_EQ(core::FormatSiNumber(excite, "0.0", false, 0.1), "2.5");
    EXPECT_EQ(field(tb, 245, 9), 9u);
    EXPECT_EQ(field(tb, 254, 9), 59u);

    const auto calDate = static_cast<int>(field(tb, 263, 16));
    EXPECT_EQ(calDate, 37254);
    EXPECT_EQ(core::numeric::formatDate(core::numeric::dateFromSerial(kDateEpoch + calDate), "yyyy-mm-dd"), "2099-12-31");
    EXPECT_EQ(field(tb, 317, 2), 3u);   // end selector
    EXPECT_EQ(field(tb, 319, 1), 1u);   // extended end selector
    EXPECT_TRUE(core::Bits2Val(tb, 320, 672).isZero());
}

TEST_F(TestVector, DecodedTextsEncodeToTheSameBytes)
{
    struct Text {
        int pos, bits;
        std::string text;
    };
    // Decode as the editor shows them.
    auto conres = [&](int pos, int n, double start, double step, const char* fmt) {
        return core::FormatSiNumber(start + static_cast<double>(field(tb, pos, n)) * step, fmt, false, step);
    };
    const std::string imped = conres(212, 18, 1, 0.1, "rp");
    const std::string nom = conres(236, 9, 0.1, 0.1, "rp");
    const std::string min = conres(245, 9, 0.1, 0.1, "rp");
    const std::string max = conres(254, 9, 0.1, 0.1, "rp");
    EXPECT_EQ(imped, "40.0");
    EXPECT_EQ(nom, "2.5");
    const std::string resp = core::FormatSiNumber(core::ConRelResDecode(static_cast<std::int64_t>(field(tb, 230, 6)), 1e-6, 0.15),
                                                  "rp", true, 0.15);
    EXPECT_EQ(resp, "1.0\xB5");
    const std::string date = core::numeric::formatDate(
        core::numeric::dateFromSerial(kDateEpoch + static_cast<int>(field(tb, 263, 16))), "mmmm d, yyyy");
    EXPECT_EQ(date, "December 31, 2099");
    std::string letter = core::Chr5ToChar(static_cast<int>(field(tb, 29, 5)));
    const std::string single = core::numeric::Format(core::SingleFromBits(static_cast<double>(field(tb, 80, 32))), "");

    // Encode into an image of zeros.
    core::TedsBuf out;
    out.dimension(124);
    core::BytesToBits(out);
    for (const auto& [pos, n] : std::vector<std::pair<int, int>>{{0, 14}, {14, 15}, {34, 6}, {40, 24}, {64, 2}, {66, 8},
                                                                 {74, 6}, {144, 2}, {210, 2}, {279, 15}, {294, 12},
                                                                 {306, 11}, {317, 2}, {319, 1}})
        core::Val2Bits(core::Bits2Val(tb, pos, n), pos, n, out);
    core::StringToChr5Bits(letter, 29, 1, out);
    for (int pos : {80, 112, 146, 178})
        core::Val2Bits(core::SingleToBits(single), pos, 32, out);
    core::Val2Bits(*core::ConResEncode(imped, 1, 0.1, 18), 212, 18, out);
    core::Val2Bits(*core::ConRelResEncode(resp, 1e-6, 0.15, 6, 1), 230, 6, out);
    core::Val2Bits(*core::ConResEncode(nom, 0.1, 0.1, 9), 236, 9, out);
    core::Val2Bits(*core::ConResEncode(min, 0.1, 0.1, 9), 245, 9, out);
    core::Val2Bits(*core::ConResEncode(max, 0.1, 0.1, 9), 254, 9, out);
    core::numeric::CivilDate d;
    ASSERT_TRUE(core::ParseDateText(date, d));
    core::Val2Bits(core::numeric::dateSerial(d) - kDateEpoch, 263, 16, out);
    core::BitsToBytes(out);
    EXPECT_EQ(out.Bytes, tb.Bytes);
}
