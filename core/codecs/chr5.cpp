#include "core/codecs/chr5.h"

#include "core/teds/bitfields.h"

#include <algorithm>

namespace core {

namespace {
constexpr char kAE = '\xC6';
constexpr char kOSlash = '\xD8';
constexpr char kARing = '\xC5';
constexpr char kAELower = '\xE6';
constexpr char kOSlashLower = '\xF8';
constexpr char kARingLower = '\xE5';
constexpr int kChr5Bits = 5;
} // namespace

void UpperCaseForChr5(std::string& text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c == kAELower)
            c = kAE;
        else if (c == kOSlashLower)
            c = kOSlash;
        else if (c == kARingLower)
            c = kARing;
    }
}

int Chr5Code(char c)
{
    if (c == ' ')
        return 0;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 1;
    switch (c) {
    case ',':
    case kAE: return 27;
    case '.':
    case kOSlash: return 28;
    case '/':
    case kARing: return 29;
    case '_':
    case '&': return 30;
    default: return 31;
    }
}

bool Chr5Holds(char c) { return Chr5Code(c) != 31; }

void StringToChr5Bits(std::string& text, int BitPos, int NoOfChars, TedsBuf& tb, ValueFit* fit)
{
    UpperCaseForChr5(text);
    if (fit) {
        *fit = ValueFit::Stored;
        const std::size_t held = static_cast<std::size_t>(std::max(NoOfChars, 0));
        for (std::size_t i = 0; i < text.size(); ++i)
            if (i < held ? !Chr5Holds(text[i]) : text[i] != ' ')
                *fit = ValueFit::Cut;
    }
    if (NoOfChars <= 0)
        return;
    if (!FieldInImage(tb, BitPos, kChr5Bits * NoOfChars))
        return;
    for (int c = 1; c <= NoOfChars; ++c) {
        const char ch = static_cast<std::size_t>(c) <= text.size() ? text[static_cast<std::size_t>(c - 1)] : ' ';
        Val2Bits(Chr5Code(ch), BitPos + kChr5Bits * (c - 1), kChr5Bits, tb);
    }
}

std::string Chr5ToChar(int code)
{
    if (code == 0)
        return " ";
    if (code >= 1 && code <= 26)
        return std::string(1, static_cast<char>('A' + code - 1));
    switch (code) {
    case 27: return ",";
    case 28: return ".";
    case 29: return "/";
    case 30: return "_";
    default: return "@";
    }
}

} // namespace core
