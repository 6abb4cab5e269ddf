#include "core/codecs/sinumber.h"

#include "core/base/corestate.h"
#include "core/numeric/numberformat.h"
#include "core/numeric/numberrules.h"

#include <algorithm>
#include <cmath>

namespace core {

namespace {

constexpr std::string_view kNumberChars = "0123456789eE-,.";
constexpr char kMicro = '\xB5';
constexpr char kSuperscript3 = '\xB3';

double prefixFactor(char c)
{
    switch (c) {
    case 'T': return 1e12;
    case 'G': return 1e9;
    case 'M': return 1e6;
    case 'k': return 1e3;
    case 'm': return 1e-3;
    case 'u':
    case kMicro: return 1e-6;
    case 'n': return 1e-9;
    case 'p': return 1e-12;
    default: return 1;
    }
}

} // namespace

double siReading(std::string_view text, bool unitMillimetre, bool* number)
{
    const std::string s = std::string(text) + "  ";
    std::size_t i = 0;
    while (i < s.size() && kNumberChars.find(s[i]) != std::string_view::npos)
        ++i;
    double factor = prefixFactor(s[i]);
    if (unitMillimetre && s.compare(i, 3, std::string("mm") + kSuperscript3) == 0)
        factor = 1;
    std::string digits = s.substr(0, i);
    std::replace(digits.begin(), digits.end(), ',', '.');
    std::size_t length = 0;
    const double v = numeric::leadingNumber(digits, &length);
    if (number)
        *number = length > 0;
    return v * factor;
}

double ParseSiNumber(std::string_view text) { return siReading(text); }

std::string StripUnit(std::string_view text, std::string_view unit)
{
    std::string t(text);
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    if (unit.empty() || t.size() <= unit.size() || t.compare(t.size() - unit.size(), unit.size(), unit) != 0)
        return std::string(text);
    t.erase(t.size() - unit.size());
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    return t;
}

std::string FormatSiNumber(double value, std::string_view fmt, bool relative, double resolution)
{
    const std::string sign = value < 0 ? "-" : "";
    const double a = std::fabs(value);
    std::string pattern(fmt);
    int index = 7;
    double f = 1;
    if (!pattern.empty() && pattern.back() == 'p') {
        pattern.pop_back();
        if (a != 0 && std::isfinite(a))
            index = std::clamp(static_cast<int>(std::floor(std::floor(std::log10(a) + 21.00001) / 3)), 3, 11);
        f = std::pow(10.0, (7 - index) * 3);
    }
    if (!pattern.empty() && pattern.front() == 'r') {
        double t = a == 0 ? 0.01 : (relative ? a * resolution * f : resolution * f);
        // The magnitude decides the decimals; a negative resolution counts as positive.
        t = std::fabs(t);
        if (t >= 1) {
            pattern = "0";
        } else {
            pattern = "0.";
            while (t < 1) {  // NaN ends at once
                pattern.push_back('0');
                t *= 10;
                if (t == 0)
                    t = 1;
            }
        }
    }
    std::string text = sign + numeric::Format(a * f, pattern);
    if (index != 7) {
        const std::string_view prefixes = coreState().JapaneseWindows ? "afpnum kMGT" : "afpn\xB5m kMGT";
        text.push_back(prefixes[static_cast<std::size_t>(index - 1)]);
    }
    return text;
}

} // namespace core
