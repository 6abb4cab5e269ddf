// Number texts and bit fields: the platform's number readers and writers, format
// patterns, exact decimals, and unsigned and hex fields of a TEDS image written from
// text. Input: a first text, a NUL, a second text (the pattern or the hex field); the
// first bytes also place the field.

#include "tests/fuzz/fuzzsupport.h"

#include "core/numeric/biguint.h"
#include "core/numeric/numberformat.h"
#include "core/numeric/numberrules.h"
#include "core/teds/bitfields.h"
#include "core/teds/tedsbuf.h"
#include "core/tdl/currency.h"

#include <cmath>

namespace n = core::numeric;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto [text, second] = fuzz::splitAtNul(fuzz::bytes(data, size));

    const double v = n::Val(text);
    n::leadingNumber(text);
    n::IsNumeric(text);
    if (const auto p = n::parseNumber(text, false); p && std::isfinite(*p)) {
        // The general form reads back as the number rounded to 15 digits.
        const auto back = n::parseNumber(n::generalNumber(*p), false);
        fuzz::check(back && *back == n::round15(*p), "the general number form reads back");
    }
    n::Str(v);
    n::CLng(v);
    n::CInt(v);
    n::Format(v, second.substr(0, 64));
    n::BigUInt::fromDecimal(text);
    if (const auto c = core::Currency::fromDecimalText(text))
        fuzz::check(core::Currency::fromDecimalText(c->text()) == c, "a fixed-point text reads back");

    core::TedsBuf tb;
    tb.dimension(32);
    const int pos = size > 0 ? data[0] : 0;
    const int bits = size > 1 ? data[1] % 72 : 8;
    core::Val2Bits(core::numeric::Number(text), pos, bits, tb);
    core::Val2Bits(core::numeric::Number(v), pos, bits, tb);
    core::Bits2Val(tb, pos, bits);
    std::string hex = second.substr(0, 64);
    core::HexToBits(hex, pos, bits, tb);
    core::BitsToHexString(tb, pos, bits);
    return 0;
}
