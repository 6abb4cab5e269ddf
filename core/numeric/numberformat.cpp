#include "core/numeric/numberformat.h"

#include "core/numeric/numberrules.h"

#include <cctype>
#include <cmath>
#include <vector>

namespace core::numeric {

namespace {

enum class Region { Int, Frac, Exp };

struct Item {
    enum Kind { Zero, Hash, Point, Literal, ExpMarker } kind;
    Region region;
    std::string text;       // Literal; ExpMarker: "E" or "e"
    bool plusForm = false;  // ExpMarker: "E+" shows the sign always
};

struct Pattern {
    std::vector<Item> items;
    bool grouping = false;
    int scale = 0;    // divide by 1000 this many times
    int percent = 0;  // multiply by 100 this many times
    bool scientific = false;
};

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> splitSections(std::string_view p)
{
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (c == '"') {
            const std::size_t end = p.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? p.size() : end + 1;
            out.back().append(p.substr(i, stop - i));
            i = stop - 1;
        } else if (c == '\\' && i + 1 < p.size()) {
            out.back().append(p.substr(i, 2));
            ++i;
        } else if (c == ';') {
            out.emplace_back();
        } else {
            out.back().push_back(c);
        }
    }
    return out;
}

Pattern parsePattern(std::string_view p)
{
    Pattern pat;
    Region region = Region::Int;
    std::vector<std::size_t> intCommas;  // item count at each comma of the integer part
    auto literal = [&](std::string t) { pat.items.push_back({Item::Literal, region, std::move(t)}); };
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (c == '"') {
            const std::size_t end = p.find('"', i + 1);
            const std::size_t stop = end == std::string_view::npos ? p.size() : end;
            literal(std::string(p.substr(i + 1, stop - i - 1)));
            i = stop;
        } else if (c == '\\') {
            if (i + 1 < p.size())
                literal(std::string(1, p[++i]));
        } else if (c == '0' || c == '#') {
            pat.items.push_back({c == '0' ? Item::Zero : Item::Hash, region, {}});
        } else if (c == '.' && region == Region::Int) {
            pat.items.push_back({Item::Point, region, {}});
            region = Region::Frac;
        } else if (c == ',' && region == Region::Int) {
            intCommas.push_back(pat.items.size());
        } else if (c == '%') {
            ++pat.percent;
            literal("%");
        } else if ((c == 'E' || c == 'e') && region != Region::Exp && i + 1 < p.size() &&
                   (p[i + 1] == '+' || p[i + 1] == '-')) {
            region = Region::Exp;
            pat.items.push_back({Item::ExpMarker, region, std::string(1, c), p[i + 1] == '+'});
            pat.scientific = true;
            ++i;
        } else {
            literal(std::string(1, c));
        }
    }
    // A comma followed by an integer digit placeholder groups; one after the last scales.
    for (std::size_t at : intCommas) {
        bool digitAfter = false;
        for (std::size_t k = at; k < pat.items.size() && pat.items[k].region == Region::Int; ++k)
            if (pat.items[k].kind == Item::Zero || pat.items[k].kind == Item::Hash)
                digitAfter = true;
        if (digitAfter)
            pat.grouping = true;
        else
            ++pat.scale;
    }
    return pat;
}

int countPlaceholders(const Pattern& pat, Region r)
{
    int n = 0;
    for (const Item& it : pat.items)
        if (it.region == r && (it.kind == Item::Zero || it.kind == Item::Hash))
            ++n;
    return n;
}

// |v| as integer digits (no leading zeros, "" for none) and exactly nd decimals,
// from its 15-digit decimal, rounded half away from zero. *exponent receives the decimal
// exponent of the value after rounding (unused for zero).
void fixedDigits(const Decimal15& d, int nd, std::string* intDigits, std::string* fracDigits)
{
    intDigits->clear();
    fracDigits->assign(static_cast<std::size_t>(nd), '0');
    if (d.zero)
        return;
    std::string digits = d.digits;
    int e = d.exponent;
    const int keep = e + nd + 1;  // digits with a power of ten >= -nd
    if (keep < 0)
        return;
    if (keep == 0) {
        if (digits[0] < '5')
            return;
        digits = "1";
        e += 1;
    } else if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[static_cast<std::size_t>(i)] == '9') {
                    digits[static_cast<std::size_t>(i)] = '0';
                } else {
                    ++digits[static_cast<std::size_t>(i)];
                    break;
                }
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                e += 1;
            }
        }
    }
    // digits[0] has the power e; extend so the last digit has the power -nd.
    std::string r = digits;
    const int want = e + nd + 1;
    if (static_cast<int>(r.size()) < want)
        r.append(static_cast<std::size_t>(want - static_cast<int>(r.size())), '0');
    // r is the value times 10^nd; leading zeros for a value below 10^(-nd) ... 1.
    if (static_cast<int>(r.size()) < nd + 1)
        r.insert(0, static_cast<std::size_t>(nd + 1 - static_cast<int>(r.size())), '0');
    *fracDigits = r.substr(r.size() - static_cast<std::size_t>(nd));
    std::string ip = r.substr(0, r.size() - static_cast<std::size_t>(nd));
    std::size_t z = 0;
    while (z < ip.size() && ip[z] == '0')
        ++z;
    *intDigits = ip.substr(z);
}

std::string grouped(const std::string& digits)
{
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

std::string renderInt(const Pattern& pat, const std::string& intDigits)
{
    std::vector<const Item*> items;
    for (const Item& it : pat.items)
        if (it.region == Region::Int && it.kind != Item::Point)
            items.push_back(&it);
    int placeholders = 0;
    int minDigits = 0;
    bool zeroSeen = false;
    for (const Item* it : items) {
        if (it->kind == Item::Zero || it->kind == Item::Hash) {
            ++placeholders;
            if (it->kind == Item::Zero)
                zeroSeen = true;
            if (zeroSeen)
                ++minDigits;
        }
    }
    std::string t = intDigits;
    if (static_cast<int>(t.size()) < minDigits)
        t.insert(0, static_cast<std::size_t>(minDigits - static_cast<int>(t.size())), '0');

    std::string out;
    if (placeholders == 0 || pat.grouping) {
        bool placed = false;
        for (const Item* it : items) {
            if (it->kind == Item::Literal) {
                out.append(it->text);
            } else if (!placed) {
                out.append(pat.grouping ? grouped(t) : t);
                placed = true;
            }
        }
        if (!placed)
            out.append(t);
        return out;
    }
    // Digits from the right into the placeholders; the leftmost one takes the rest.
    std::string rev;
    std::size_t left = t.size();
    int seen = 0;
    for (std::size_t k = items.size(); k-- > 0;) {
        const Item* it = items[k];
        if (it->kind == Item::Literal) {
            rev.append(it->text.rbegin(), it->text.rend());
            continue;
        }
        ++seen;
        if (seen == placeholders) {
            while (left > 0)
                rev.push_back(t[--left]);
        } else if (left > 0) {
            rev.push_back(t[--left]);
        }
    }
    return std::string(rev.rbegin(), rev.rend());
}

std::string renderFrac(const Pattern& pat, const std::string& frac)
{
    std::vector<const Item*> placeholders;
    for (const Item& it : pat.items)
        if (it.region == Region::Frac && (it.kind == Item::Zero || it.kind == Item::Hash))
            placeholders.push_back(&it);
    // Trailing zeros under "#" are not shown.
    std::size_t shown = placeholders.size();
    while (shown > 0 && placeholders[shown - 1]->kind == Item::Hash && frac[shown - 1] == '0')
        --shown;
    std::string out;
    std::size_t k = 0;
    for (const Item& it : pat.items) {
        if (it.region != Region::Frac)
            continue;
        if (it.kind == Item::Literal) {
            out.append(it.text);
        } else {
            if (k < shown)
                out.push_back(frac[k]);
            ++k;
        }
    }
    return out;
}

std::string renderExp(const Pattern& pat, int exponent)
{
    std::string out;
    int zeros = 0;
    for (const Item& it : pat.items)
        if (it.region == Region::Exp && it.kind == Item::Zero)
            ++zeros;
    std::string digits = exponent == 0 && zeros == 0 ? "" : std::to_string(exponent < 0 ? -exponent : exponent);
    if (static_cast<int>(digits.size()) < zeros)
        digits.insert(0, static_cast<std::size_t>(zeros - static_cast<int>(digits.size())), '0');
    bool placed = false;
    for (const Item& it : pat.items) {
        if (it.region != Region::Exp)
            continue;
        if (it.kind == Item::ExpMarker) {
            out.append(it.text);
            if (exponent < 0)
                out.push_back('-');
            else if (it.plusForm)
                out.push_back('+');
        } else if (it.kind == Item::Literal) {
            out.append(it.text);
        } else if (!placed) {
            out.append(digits);
            placed = true;
        }
    }
    return out;
}

bool allZero(const std::string& s)
{
    for (char c : s)
        if (c != '0')
            return false;
    return true;
}

std::string formatSection(double v, bool negative, const Pattern& pat)
{
    for (int i = 0; i < pat.percent; ++i)
        v *= 100;
    for (int i = 0; i < pat.scale; ++i)
        v /= 1000;
    const int nd = countPlaceholders(pat, Region::Frac);
    std::string intDigits;
    std::string frac;
    int exponent = 0;
    if (pat.scientific) {
        const int k = countPlaceholders(pat, Region::Int);
        const Decimal15 d = toDecimal15(v);
        if (!d.zero) {
            exponent = d.exponent - (k > 0 ? k - 1 : -1);
            for (int attempt = 0; attempt < 2; ++attempt) {
                Decimal15 m = d;
                m.exponent = d.exponent - exponent;
                fixedDigits(m, nd, &intDigits, &frac);
                const std::size_t limit = static_cast<std::size_t>(k > 0 ? k : 0);
                if (intDigits.size() <= limit)
                    break;
                ++exponent;  // rounding carried into a new digit
            }
        } else {
            frac.assign(static_cast<std::size_t>(nd), '0');
        }
    } else {
        fixedDigits(toDecimal15(v), nd, &intDigits, &frac);
    }
    std::string out;
    if (negative && !(allZero(intDigits) && allZero(frac)))
        out.push_back('-');
    out.append(renderInt(pat, intDigits));
    for (const Item& it : pat.items)
        if (it.kind == Item::Point)
            out.push_back('.');
    out.append(renderFrac(pat, frac));
    if (pat.scientific)
        out.append(renderExp(pat, exponent));
    return out;
}

} // namespace

std::string Format(double x, std::string_view pattern)
{
    if (!std::isfinite(x) || pattern.empty() || equalsNoCase(pattern, "General Number"))
        return generalNumber(x);
    if (equalsNoCase(pattern, "Fixed"))
        pattern = "0.00";
    else if (equalsNoCase(pattern, "Standard"))
        pattern = "#,##0.00";
    else if (equalsNoCase(pattern, "Percent"))
        pattern = "0.00%";
    else if (equalsNoCase(pattern, "Scientific"))
        pattern = "0.00E+00";

    const std::vector<std::string> sections = splitSections(pattern);
    std::string section = sections[0];
    bool sign = x < 0;
    if (x < 0 && sections.size() >= 2 && !sections[1].empty()) {
        section = sections[1];
        sign = false;
    } else if (x == 0 && sections.size() >= 3 && !sections[2].empty()) {
        section = sections[2];
    }
    return formatSection(std::fabs(x), sign, parsePattern(section));
}

} // namespace core::numeric
