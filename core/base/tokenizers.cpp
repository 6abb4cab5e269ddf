#include "core/base/tokenizers.h"

namespace core {

namespace {

// Character positions are held in 8 bits by the readers: a separator found past the
// 255th character is an error.
constexpr std::size_t kMaxPos = 255;

void checkPos(std::size_t pos0, const char* what)
{
    if (pos0 != std::string_view::npos && pos0 + 1 > kMaxPos)
        throw TokenError(std::string(what) + " past character 255");
}

// Sets of two characters by a plain loop: the library searches a set with a call per
// character of the text.
std::size_t findEither(std::string_view s, char a, char b)
{
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == a || s[i] == b)
            return i;
    return std::string_view::npos;
}

std::size_t findNeither(std::string_view s, char a, char b)
{
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] != a && s[i] != b)
            return i;
    return std::string_view::npos;
}

void dropLeadingBlanks(std::string_view& text)
{
    const auto b = text.find_first_not_of(' ');
    text.remove_prefix(b == std::string_view::npos ? text.size() : b);
}

// The string form runs the view form: text keeps what the view kept, also when it throws.
template <class F>
std::string onString(std::string& text, F&& take)
{
    std::string_view view = text;
    std::string head;
    try {
        head = std::string(take(view));
    } catch (...) {
        text.erase(0, text.size() - view.size());
        throw;
    }
    text.erase(0, text.size() - view.size());
    return head;
}

} // namespace

std::string_view NextToken(std::string_view separator, std::string_view& text)
{
    const auto p = separator.empty()       ? std::string_view::npos
                   : separator.size() == 1 ? text.find(separator[0])
                                           : text.find(separator);
    if (p == std::string_view::npos) {
        const std::string_view all = text;
        text.remove_prefix(text.size());
        return all;
    }
    const std::string_view head = text.substr(0, p);
    std::size_t pos = p;
    // Skip single characters equal to the separator, but keep the last character.
    while (separator.size() == 1 && pos + 1 < text.size() && text[pos] == separator[0])
        ++pos;
    text.remove_prefix(pos);
    return head;
}

std::string_view QuotedText(std::string_view& text)
{
    // The quote mostly opens the text.
    const auto first = !text.empty() && text[0] == '"' ? 0 : text.find('"');
    checkPos(first, "quote");
    if (first != std::string_view::npos)
        text.remove_prefix(first + 1);
    const auto close = text.find('"');
    if (close == std::string_view::npos)
        throw TokenError("missing closing quote");
    checkPos(close, "quote");
    const std::string_view inner = text.substr(0, close);
    text.remove_prefix(close + 1);
    const auto rest = findNeither(text, ' ', ',');
    text.remove_prefix(rest == std::string_view::npos ? text.size() : rest);
    return inner;
}

std::string_view NextWord(std::string_view& text)
{
    dropLeadingBlanks(text);
    const auto p = findEither(text, ' ', ',');
    if (p == std::string_view::npos) {
        const std::string_view all = text;
        text.remove_prefix(text.size());
        return all;
    }
    checkPos(p, "separator");
    const std::string_view head = text.substr(0, p);
    text.remove_prefix(p + 1);
    return head;
}

std::string_view NextCommaItem(std::string_view& text)
{
    dropLeadingBlanks(text);
    const auto p = text.find(',');
    if (p == std::string_view::npos) {
        const std::string_view all = text;
        text.remove_prefix(text.size());
        return all;
    }
    checkPos(p, "comma");
    const std::string_view head = text.substr(0, p);
    text.remove_prefix(p + 1);
    return head;
}

std::string NextToken(const std::string& separator, std::string& text)
{
    return onString(text, [&](std::string_view& v) { return NextToken(std::string_view(separator), v); });
}

std::string QuotedText(std::string& text)
{
    return onString(text, [](std::string_view& v) { return QuotedText(v); });
}

std::string NextWord(std::string& text)
{
    return onString(text, [](std::string_view& v) { return NextWord(v); });
}

std::string NextCommaItem(std::string& text)
{
    return onString(text, [](std::string_view& v) { return NextCommaItem(v); });
}

} // namespace core
