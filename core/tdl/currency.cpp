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
