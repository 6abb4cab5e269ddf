// What the codecs say became of a typed value: stored, refused (no number), clamped to
// the field's range or cut to its length and character set.
#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

namespace {

using core::ValueFit;

class ValueFitTest : public ::testing::Test, protected testing_support::VirtualServices {};

TEST_F(ValueFitTest, CodedNumbers)
{
    struct Row {
        const char* text;
        ValueFit conres;     // start 0.1, step 0.1, 9 bits: 0.1 .. 51.2
        ValueFit conrelres;  // start 0.1, tolerance 0.1, 8 bits
    };
    const Row rows[] = {
        {"2.5", ValueFit::Stored, ValueFit::Stored},
        {"0.095", ValueFit::Stored, ValueFit::Stored},  // the nearest code is 0
        {"0.06", ValueFit::Stored, ValueFit::Clamped},
        {"0.04", ValueFit::Clamped, ValueFit::Clamped},
        {"-5", ValueFit::Clamped, ValueFit::Clamped},
        {"1k", ValueFit::Clamped, ValueFit::Stored},
        {"1e400", ValueFit::Clamped, ValueFit::Clamped},
        {"abc", ValueFit::Refused, ValueFit::Refused},
        {"", ValueFit::Refused, ValueFit::Refused},
        {"51.2", ValueFit::Stored, ValueFit::Stored},  // the last code
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        ValueFit fit = ValueFit::Stored;
        ASSERT_TRUE(core::ConResEncode(r.text, 0.1, 0.1, 9, {}, &fit));
        EXPECT_EQ(fit, r.conres);
        ASSERT_TRUE(core::ConRelResEncode(r.text, 0.1, 0.1, 8, 1, {}, &fit));
        EXPECT_EQ(fit, r.conrelres);
    }
    bool number = true;
    EXPECT_EQ(core::siReading("k", false, &number), 0);
    EXPECT_FALSE(number);
    EXPECT_EQ(core::siReading("4,7k", false, &number), 4700);
    EXPECT_TRUE(number);
}

TEST_F(ValueFitTest, SinglePrecision)
{
    struct Row {
        const char* text;
        ValueFit fit;
    };
    for (const Row& r : {Row{"1.5", ValueFit::Stored}, Row{"-3.4028235E+38", ValueFit::Stored},
                         Row{"1e39", ValueFit::Clamped}, Row{"-1e400", ValueFit::Clamped},
                         Row{"Infinity", ValueFit::Stored}, Row{"NaN", ValueFit::Stored},
                         Row{"1e-50", ValueFit::Stored}, Row{"abc", ValueFit::Refused}}) {
        SCOPED_TRACE(r.text);
        ValueFit fit = ValueFit::Stored;
        core::SingleToBits(r.text, &fit);
        EXPECT_EQ(fit, r.fit);
    }
}

TEST_F(ValueFitTest, Chr5TextsLongerThanTheFieldOrOutsideItsLettersAreCut)
{
    struct Row {
        const char* text;
        int chars;
        ValueFit fit;
    };
    for (const Row& r : {Row{"abc", 3, ValueFit::Stored}, Row{"ab", 3, ValueFit::Stored},
                         Row{"AB   ", 3, ValueFit::Stored},  // blanks past the field are no loss
                         Row{"ABCDEFGHIJKLMNOP", 3, ValueFit::Cut}, Row{"\xC6\xD8\xC5&", 4, ValueFit::Stored},
                         Row{"A\xE9", 3, ValueFit::Cut}, Row{"A1", 3, ValueFit::Cut}, Row{"A@", 3, ValueFit::Cut}}) {
        SCOPED_TRACE(r.text);
        core::TedsBuf tb;
        tb.dimension(8);
        std::string t = r.text;
        ValueFit fit = ValueFit::Stored;
        core::StringToChr5Bits(t, 0, r.chars, tb, &fit);
        EXPECT_EQ(fit, r.fit);
    }
}

} // namespace
