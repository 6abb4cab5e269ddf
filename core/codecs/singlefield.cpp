#include "core/codecs/singlefield.h"

#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace core {

namespace {

constexpr std::uint32_t kSignBit = 0x80000000u;
constexpr std::uint32_t kInfinity = 0x7F800000u;
constexpr std::uint32_t kQuietNaN = 0x7FC00000u;

// Pattern of a single by the field's rule.
std::uint32_t patternOf(float x)
{
    if (std::isnan(x))
        return kQuietNaN;
    const std::uint32_t sign = x < 0 ? kSignBit : 0u;
    const float a = std::fabs(x);
    if (std::isinf(a))
        return sign | kInfinity;
    if (a >= std::numeric_limits<float>::min())  // 2^-126: the IEEE pattern
        return sign | (std::bit_cast<std::uint32_t>(a) & 0x7FFFFFFFu);
    const double p = std::ldexp(1.0, -127);
    if (a < p)
        return sign;  // zero, keeping a negative sign
    // Exponent field 0 read with an implicit 1: fraction (a / 2^-127 - 1) * 2^23.
    const auto m = static_cast<std::uint32_t>(std::llround((static_cast<double>(a) / p - 1) * 8388608.0));
    return sign | (m & 0x7FFFFFu);
}

// A double rounded to single precision; beyond the single range: infinity.
float toSingle(double v)
{
    const double limit = std::ldexp(2.0 - std::ldexp(1.0, -24), 127);  // largest single + half a step
    if (std::fabs(v) >= limit)
        return v < 0 ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// A decimal text rounded straight to single precision: through a double first, a text
// near the middle between two singles can round twice the wrong way (7.038531e-26).
float readSingle(const std::string& text, double v)
{
    std::string_view t(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    float x = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), x);
    if (r.ec == std::errc{} && r.ptr == t.data() + t.size() && std::isfinite(x))
        return x;
    return toSingle(v);
}

} // namespace

numeric::BigUInt SingleToBits(std::string_view text, ValueFit* fit)
{
    const std::string t = trim(std::string(text));
    float x = 0;
    bool number = true;
    if (iequals(t, "NaN"))
        x = std::numeric_limits<float>::quiet_NaN();
    else if (iequals(t, "Infinity"))
        x = std::numeric_limits<float>::infinity();
    else if (iequals(t, "-Infinity"))
        x = -std::numeric_limits<float>::infinity();
    else if (const auto v = numeric::parseNumber(t))
        x = readSingle(t, *v);
    else {
        std::string s = t;
        std::replace(s.begin(), s.end(), ',', '.');
        std::size_t n = 0;
        const double lead = numeric::leadingNumber(s, &n);
        number = n > 0;
        x = readSingle(s.substr(0, n), lead);
    }
    if (fit) {
        const bool special = iequals(t, "NaN") || iequals(t, "Infinity") || iequals(t, "-Infinity");
        *fit = !number ? ValueFit::Refused : (std::isinf(x) && !special) ? ValueFit::Clamped : ValueFit::Stored;
    }
    return numeric::BigUInt(patternOf(x));
}

float SingleFromBits(double raw)
{
    const std::string t = ValueToBinText(raw, 32);
    std::uint32_t bits = 0;
    for (char c : t)
        bits = (bits << 1) | (c == '1' ? 1u : 0u);
    const bool negative = (bits & kSignBit) != 0;
    const int e = static_cast<int>((bits >> 23) & 0xFFu);
    const std::uint32_t m = bits & 0x7FFFFFu;
    if (e == 0 && m == 0)
        return 0.0f;
    if (e == 255) {
        if (m != 0)
            return std::numeric_limits<float>::quiet_NaN();
        return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    const double v = std::ldexp(1.0 + m / 8388608.0, e - 127);
    return static_cast<float>(negative ? -v : v);
}

numeric::BigUInt BinTextToValue(std::string_view text, int n)
{
    numeric::BigUInt sum;
    for (int i = 1; i <= n; ++i)
        if (static_cast<std::size_t>(i) <= text.size() && text[static_cast<std::size_t>(i - 1)] == '1')
            sum.setBit(n - i);
    return sum;
}

std::string ValueToBinText(const numeric::Number& value, int n)
{
    n = std::max(n, 0);
    numeric::BigUInt v;
    switch (value.kind()) {
    case numeric::Number::Kind::Exact:
        v = value.exact();
        break;
    case numeric::Number::Kind::Double: {
        const double d = value.asDouble();
        if (std::isinf(d) && d > 0)
            return std::string(static_cast<std::size_t>(n), '1');
        v = numeric::BigUInt::fromDouble(numeric::Int(d));
        break;
    }
    case numeric::Number::Kind::Text:
        v = numeric::BigUInt::fromDouble(numeric::Int(numeric::Val(value.text())));
        break;
    }
    if (v.bitLength() > n)
        return std::string(static_cast<std::size_t>(n), '1');
    std::string out;
    for (int i = n - 1; i >= 0; --i)
        out.push_back(v.bit(i) ? '1' : '0');
    return out;
}

} // namespace core
