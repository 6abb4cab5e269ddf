#include "core/numeric/numberrules.h"

#include "platform/base/onewirecrc.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>

namespace core::numeric {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }


// Value of sign, digits intDigits "." fracDigits, exponent exp (all already checked).
double composeNumber(bool negative, std::string_view intDigits, std::string_view fracDigits, std::string_view exp)
{
    std::string s;
    s.append(intDigits.empty() ? "0" : intDigits);
    s.push_back('.');
    s.append(fracDigits.empty() ? "0" : fracDigits);
    if (!exp.empty()) {
        s.push_back('e');
        s.append(exp);
    }
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: tell them apart by the decimal magnitude.
        std::size_t lead = 0;
        while (lead < intDigits.size() && intDigits[lead] == '0')
            ++lead;
        long mag = static_cast<long>(intDigits.size() - lead);
        if (mag == 0) {
            std::size_t z = 0;
            while (z < fracDigits.size() && fracDigits[z] == '0')
                ++z;
            mag = -static_cast<long>(z);
        }
        // The exponent is clamped far beyond the double range, so the sum cannot overflow.
        constexpr long kExpClamp = 1000000;
        std::string_view ed = exp;
        const bool negExp = !ed.empty() && ed[0] == '-';
        if (!ed.empty() && (ed[0] == '+' || ed[0] == '-'))
            ed.remove_prefix(1);
        long e = 0;
        for (char c : ed) {
            e = e * 10 + (c - '0');
            if (e > kExpClamp) {
                e = kExpClamp;
                break;
            }
        }
        if (negExp)
            e = -e;
        mag = std::clamp(mag, -kExpClamp, kExpClamp);
        v = (mag + e > 0) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -v : v;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common short numbers without the text round trip: at most 15 digits and an exponent
// that leaves the scale within 10^22. The digits and the power of ten are then exact
// doubles, so one multiplication or division rounds once, to the same nearest double as
// the full conversion. i: the position after the digits; 0 when the number is not of that
// kind.
std::size_t scanSmallNumber(std::string_view text, std::size_t i, bool negative, std::string_view intDigits,
                            std::string_view fracDigits, double* value)
{
    if (intDigits.size() + fracDigits.size() > 15)
        return 0;
    int scale = -static_cast<int>(fracDigits.size());
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negExp = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            negExp = text[j++] == '-';
        const std::size_t digitsStart = j;
        int e = 0;
        while (j < text.size() && isDigit(text[j]) && j - digitsStart < 4)
            e = e * 10 + (text[j++] - '0');
        if (j < text.size() && isDigit(text[j]))
            return 0;  // a long exponent: the full conversion
        if (j > digitsStart) {
            scale += negExp ? -e : e;
            i = j;
        }
    }
    if (scale < -22 || scale > 22)
        return 0;
    std::uint64_t n = 0;
    for (char c : intDigits)
        n = n * 10 + static_cast<unsigned>(c - '0');
    for (char c : fracDigits)
        n = n * 10 + static_cast<unsigned>(c - '0');
    const double d = static_cast<double>(n);
    const double v = scale < 0 ? d / kExactPow10[-scale] : d * kExactPow10[scale];
    *value = negative ? -v : v;
    return i;
}

// Scans a number at text[pos]: sign, digits, one decimal separator, exponent. Returns the
// characters used (0 when no digit was found); the value in *value.
std::size_t scanNumber(std::string_view text, bool commaDecimal, double* value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t intStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    const std::string_view intDigits = text.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < text.size() && (text[i] == '.' || (commaDecimal && text[i] == ','))) {
        const std::size_t fracStart = i + 1;
        std::size_t j = fracStart;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        fracDigits = text.substr(fracStart, j - fracStart);
        if (!intDigits.empty() || !fracDigits.empty())
            i = j;
    }
    if (intDigits.empty() && fracDigits.empty())
        return 0;
    if (const std::size_t used = scanSmallNumber(text, i, negative, intDigits, fracDigits, value))
        return used;
    std::string exp;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string e;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            if (text[j] == '-')
                e.push_back('-');
            ++j;
        }
        const std::size_t digitsStart = j;
        while (j < text.size() && isDigit(text[j]))
            e.push_back(text[j++]);
        if (j > digitsStart) {
            exp = e;
            i = j;
        }
    }
    *value = composeNumber(negative, intDigits, fracDigits, exp);
    return i;
}

// "&H..." / "&O..." at the start of text: the unsigned value and the characters used.
std::size_t scanRadix(std::string_view text, double* value)
{
    if (text.size() < 2 || text[0] != '&')
        return 0;
    const char r = text[1];
    const int radix = (r == 'H' || r == 'h') ? 16 : (r == 'O' || r == 'o') ? 8 : 0;
    if (radix == 0)
        return 0;
    double v = 0;
    std::size_t i = 2;
    for (; i < text.size(); ++i) {
        const int d = platform::hexDigitValue(text[i]);
        if (d < 0 || d >= radix)
            break;
        v = v * radix + d;
    }
    if (i == 2)
        return 0;
    *value = v;
    return i;
}

// A text of 1 to 15 decimal digits and nothing else: its exact value, as every other
// reading of it gives.
bool plainDigits(std::string_view s, double* value)
{
    if (s.empty() || s.size() > 15)
        return false;
    std::uint64_t n = 0;
    for (char c : s) {
        if (!isDigit(c))
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    *value = static_cast<double>(n);
    return true;
}

std::string_view trimBlanks(std::string_view s)
{
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

} // namespace

Decimal15 toDecimal15(double x)
{
    Decimal15 d;
    d.negative = std::signbit(x);
    if (x == 0 || !std::isfinite(x))
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    // "d.dddddddddddddde+XX"
    d.zero = false;
    d.digits.push_back(s[0]);
    const std::size_t e = s.find('e');
    d.digits.append(s.substr(2, e - 2));
    int exp = 0;
    std::string_view es = s.substr(e + 1);
    if (!es.empty() && es[0] == '+')
        es.remove_prefix(1);
    std::from_chars(es.data(), es.data() + es.size(), exp);
    d.exponent = exp;
    return d;
}

double round15(double x)
{
    if (x == 0 || !std::isfinite(x))
        return x;
    const Decimal15 d = toDecimal15(x);
    const std::string exp = std::to_string(d.exponent);
    return composeNumber(d.negative, d.digits.substr(0, 1), d.digits.substr(1), exp);
}

double decimalInt(double x) { return std::floor(round15(x)); }

double Int(double x) { return std::floor(x); }

double Fix(double x) { return std::trunc(x); }

double roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5)
        return f + 1;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

std::optional<std::int32_t> CLng(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::optional<std::int16_t> CInt(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= -32768.0 && r <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

double leadingNumber(std::string_view text, std::size_t* length)
{
    double v = 0;
    const std::size_t n = scanNumber(text, false, &v);
    if (length)
        *length = n;
    return n == 0 ? 0.0 : v;
}

double Val(std::string_view text)
{
    if (double v = 0; plainDigits(text, &v))
        return v;
    // Most texts hold no blank: read them in place.
    std::string kept;
    std::string_view s = text;
    if (std::any_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\n'; })) {
        kept.reserve(text.size());
        for (char c : text)
            if (c != ' ' && c != '\t' && c != '\n')
                kept.push_back(c);
        s = kept;
    }
    double v = 0;
    if (scanRadix(s, &v) > 0)
        return v;
    return leadingNumber(s);
}

std::optional<double> parseNumber(std::string_view text, bool commaDecimal)
{
    const std::string_view s = trimBlanks(text);
    if (s.empty())
        return std::nullopt;
    double v = 0;
    if (plainDigits(s, &v))
        return v;
    std::size_t n = scanRadix(s, &v);
    if (n == 0)
        n = scanNumber(s, commaDecimal, &v);
    if (n == 0 || n != s.size())
        return std::nullopt;
    return v;
}

bool IsNumeric(std::string_view text, bool commaDecimal) { return parseNumber(text, commaDecimal).has_value(); }

std::string generalNumber(double x)
{
    if (std::isnan(x))
        return "NaN";
    if (std::isinf(x))
        return x < 0 ? "-Infinity" : "Infinity";
    if (x == 0)
        return "0";
    const Decimal15 d = toDecimal15(x);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = d.negative ? "-" : "";
    const int e = d.exponent;
    if (e < -4 || e >= 15) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits.substr(1));
        }
        out.append(e < 0 ? "E-" : "E+");
        const std::string ed = std::to_string(e < 0 ? -e : e);
        if (ed.size() < 2)
            out.push_back('0');
        out.append(ed);
    } else if (e >= 0) {
        const auto intLen = static_cast<std::size_t>(e) + 1;
        if (digits.size() <= intLen) {
            out.append(digits);
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits.substr(0, intLen));
            out.push_back('.');
            out.append(digits.substr(intLen));
        }
    } else {
        out.append("0.");
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out.append(digits);
    }
    return out;
}

std::string Str(double x)
{
    std::string g = generalNumber(x);
    if (g.rfind("0.", 0) == 0)
        g.erase(0, 1);
    else if (g.rfind("-0.", 0) == 0)
        g.erase(1, 1);
    if (g[0] != '-')
        g.insert(g.begin(), ' ');
    return g;
}

} // namespace core::numeric
