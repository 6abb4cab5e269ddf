#include "core/codecs/datetext.h"

#include "core/base/textfile.h"

#include <optional>
#include <vector>

namespace core {

namespace {

struct Token {
    std::string text;
    bool digits = false;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '-' || c == '/' || c == '.' || c == ','; }

// Digit runs and letter runs between separators; nullopt for any other character or
// two runs that touch.
std::optional<std::vector<Token>> tokenize(const std::string& s)
{
    std::vector<Token> out;
    bool separated = true;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (isSeparator(c)) {
            separated = true;
            ++i;
            continue;
        }
        if (!isDigit(c) && !isLetter(c))
            return std::nullopt;
        if (!separated)
            return std::nullopt;
        const bool digits = isDigit(c);
        std::size_t j = i;
        while (j < s.size() && (digits ? isDigit(s[j]) : isLetter(s[j])))
            ++j;
        out.push_back({s.substr(i, j - i), digits});
        separated = false;
        i = j;
    }
    return out;
}

int number(const std::string& digits)
{
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// 1 .. 12 for an English month name or its three-letter form; 0 otherwise.
int monthFromName(const std::string& name)
{
    for (int m = 1; m <= 12; ++m)
        if (iequals(name, numeric::monthName(m)) || iequals(name, numeric::monthName(m, true)))
            return m;
    return 0;
}

std::optional<int> yearOf(const Token& t)
{
    if (!t.digits || t.text.size() > 4)
        return std::nullopt;
    const int v = number(t.text);
    if (t.text.size() <= 2)
        return v < 30 ? 2000 + v : 1900 + v;
    return v;
}

std::optional<int> smallOf(const Token& t)
{
    if (!t.digits || t.text.size() > 2)
        return std::nullopt;
    return number(t.text);
}

bool accept(std::optional<int> y, std::optional<int> m, std::optional<int> d, numeric::CivilDate& result)
{
    if (!y || !m || !d || !numeric::isValidDate(*y, *m, *d))
        return false;
    result = {*y, *m, *d};
    return true;
}

bool generalDate(const std::string& text, numeric::CivilDate& result)
{
    const auto tokens = tokenize(trim(text));
    if (!tokens || tokens->size() != 3)
        return false;
    const Token& a = (*tokens)[0];
    const Token& b = (*tokens)[1];
    const Token& c = (*tokens)[2];
    if (a.digits && b.digits && c.digits) {
        if (a.text.size() == 4)
            return accept(yearOf(a), smallOf(b), smallOf(c), result);
        return accept(yearOf(c), smallOf(b), smallOf(a), result) || accept(yearOf(c), smallOf(a), smallOf(b), result);
    }
    if (!a.digits && b.digits && c.digits)
        return accept(yearOf(c), monthFromName(a.text), smallOf(b), result);
    if (a.digits && !b.digits && c.digits) {
        if (a.text.size() == 4)
            return accept(yearOf(a), monthFromName(b.text), smallOf(c), result);
        return accept(yearOf(c), monthFromName(b.text), smallOf(a), result);
    }
    return false;
}

// The first eight characters as yyyymmdd, else as yyyyddmm.
bool eightDigitDate(const std::string& text, numeric::CivilDate& result)
{
    if (text.size() <= 7)
        return false;
    for (std::size_t i = 0; i < 8; ++i)
        if (!isDigit(text[i]))
            return false;
    const int year = number(text.substr(0, 4));
    const int first = number(text.substr(4, 2));
    const int second = number(text.substr(6, 2));
    return accept(year, first, second, result) || accept(year, second, first, result);
}

} // namespace

bool ParseDateText(const std::string& text, numeric::CivilDate& result)
{
    return generalDate(text, result) || eightDigitDate(text, result);
}

} // namespace core
