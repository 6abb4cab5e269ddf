#include "core/tdl/currency.h"

#include "core/numeric/numberrules.h"

#include <cmath>
#include <limits>

namespace core {

namespace {
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
// Largest magnitude whose scaled value surely fits, as a double.
constexpr double kLimit = 922337203685477.0;
} // namespace

std::optional<Currency> Currency::fromDouble(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= kLimit)
        return std::nullopt;
    const double scaled = numeric::roundHalfEven(x * static_cast<double>(kScale));
    return Currency(static_cast<std::int64_t>(scaled));
}

std::optional<Currency> Currency::fromDecimalText(std::string_view text, bool* plain)
{
    if (plain)
        *plain = false;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool neg = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        neg = text[0] == '-';
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view frac = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto digits = [](std::string_view d) { return d.find_first_not_of("0123456789") == std::string_view::npos; };
    if ((whole.empty() && frac.empty()) || !digits(whole) || !digits(frac))
        return std::nullopt;
    if (plain)
        *plain = true;
    // Magnitude in units of 1/10000, four decimals, then the rest rounded halves to even.
    std::uint64_t mag = 0;
    auto push = [&mag](int d) {
        return !__builtin_mul_overflow(mag, std::uint64_t{10}, &mag) && !__builtin_add_overflow(mag, std::uint64_t(d), &mag);
    };
    for (char c : whole)
        if (!push(c - '0'))
            return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i)
        if (!push(i < frac.size() ? frac[i] - '0' : 0))
            return std::nullopt;
    if (frac.size() > 4) {
        const int next = frac[4] - '0';
        const bool more = frac.substr(5).find_first_not_of('0') != std::string_view::npos;
        if (next > 5 || (next == 5 && (more || mag % 2 == 1)))
            if (__builtin_add_overflow(mag, std::uint64_t{1}, &mag))
                return std::nullopt;
    }
    if (mag > static_cast<std::uint64_t>(kMax))
        return std::nullopt;
    const auto v = static_cast<std::int64_t>(mag);
    return Currency(neg ? -v : v);
}

std::optional<Currency> Currency::fromInteger(std::int64_t v)
{
    if (v > kMax / kScale || v < kMin / kScale)
        return std::nullopt;
    return Currency(v * kScale);
}

std::optional<Currency> Currency::plus(Currency other) const
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(scaled_, other.scaled_, &r))
        return std::nullopt;
    return Currency(r);
}

std::string Currency::text() const
{
    const bool neg = scaled_ < 0;
    // Magnitude as unsigned, safe for the most negative value.
    const std::uint64_t mag = neg ? std::uint64_t(0) - static_cast<std::uint64_t>(scaled_) : static_cast<std::uint64_t>(scaled_);
    std::string s = std::to_string(mag / kScale);
    std::uint64_t frac = mag % kScale;
    if (frac != 0) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += "." + f;
    }
    return neg ? "-" + s : s;
}

std::string Currency::printText() const
{
    std::string s = text();
    const bool neg = !s.empty() && s[0] == '-';
    std::string digits = neg ? s.substr(1) : s;
    // A magnitude below 1 is printed without the leading zero.
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.')
        digits.erase(0, 1);
    return (neg ? "-" : " ") + digits + " ";
}

} // namespace core
