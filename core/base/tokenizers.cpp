#include "core/base/tokenizers.h"

namespace core {

namespace {

// Character positions are held in 8 bits by the readers: a separator found past the
// 255th character is an error.
constexpr std::size_t kMaxPos = 255;

void checkPos(std::size_t pos0, const char* what)
{
    if (pos0 != std::string::npos && pos0 + 1 > kMaxPos)
        throw TokenError(std::string(what) + " past character 255");
}

void dropLeadingBlanks(std::string& text)
{
    const auto b = text.find_first_not_of(' ');
    text.erase(0, b == std::string::npos ? text.size() : b);
}

} // namespace

std::string NextToken(const std::string& separator, std::string& text)
{
    const auto p = separator.empty() ? std::string::npos : text.find(separator);
    if (p == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    std::string head = text.substr(0, p);
    std::size_t pos = p;
    // Skip single characters equal to the separator, but keep the last character.
    while (separator.size() == 1 && pos + 1 < text.size() && text[pos] == separator[0])
        ++pos;
    text.erase(0, pos);
    return head;
}

std::string QuotedText(std::string& text)
{
    const auto first = text.find('"');
    checkPos(first, "quote");
    if (first != std::string::npos)
        text.erase(0, first + 1);
    const auto close = text.find('"');
    if (close == std::string::npos)
        throw TokenError("missing closing quote");
    checkPos(close, "quote");
    std::string inner = text.substr(0, close);
    text.erase(0, close + 1);
    const auto rest = text.find_first_not_of(" ,");
    text.erase(0, rest == std::string::npos ? text.size() : rest);
    return inner;
}

std::string NextWord(std::string& text)
{
    dropLeadingBlanks(text);
    const auto p = text.find_first_of(" ,");
    if (p == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    checkPos(p, "separator");
    std::string head = text.substr(0, p);
    text.erase(0, p + 1);
    return head;
}

std::string NextCommaItem(std::string& text)
{
    dropLeadingBlanks(text);
    const auto p = text.find(',');
    if (p == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    checkPos(p, "comma");
    std::string head = text.substr(0, p);
    text.erase(0, p + 1);
    return head;
}

} // namespace core
