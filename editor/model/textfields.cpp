// Codecs of the text and enumeration field types: CHR5, DATE, MDEF_REF-TYPE,
// DIRECTION, SIGN, BINARY, ASCII, ASCII-7BIT.

#include "editor/model/fieldcodecs.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "core/lists/listsstate.h"
#include "core/numeric/numberformat.h"
#include "core/numeric/numberrules.h"
#include "core/teds/bitfields.h"
#include "editor/model/datefields.h"
#include "editor/model/manufacturerlevels.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace editor::fieldcodecs {

// ----- CHR5 ------------------------------------------------------------------------

// Trailing blanks cut from the capacity down; the first character stays.
std::string cutTrailingBlanks(const std::string& text, int capacity)
{
    std::size_t j = static_cast<std::size_t>(std::max(capacity, 0));
    while (j > 1 && j <= text.size() && text[j - 1] == ' ')
        --j;
    return text.substr(0, std::min(j, text.size()));
}

std::optional<std::string> decodeChr5(const FieldContext& c)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, 5);
    std::string t;
    for (int i = 1; i <= n; ++i) {
        const auto code = static_cast<int>(core::Bits2Val(c.buf, F(c).bitAddress + 5 * (i - 1), 5).low64());
        if (code == 31)
            break;
        t += core::Chr5ToChar(code);
    }
    return cutTrailingBlanks(t, n);
}

bool encodeChr5(const FieldContext& c, const std::string& text, EncodePass&)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, 5);
    std::string t = text;
    core::StringToChr5Bits(t, F(c).bitAddress, n, c.buf);
    return true;
}

std::optional<std::string> tooltipChr5(const FieldContext& c)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, 5);
    return "Capital letters only, max. " + charCount(n) + bitsText(5 * n);
}

// ----- DATE ------------------------------------------------------------------------

std::optional<std::string> decodeDate(const FieldContext& c)
{
    return dateFieldText(static_cast<long>(raw(c).low64()));
}

bool encodeDate(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    const auto days = dateFieldDays(text);
    if (!days) {
        refuse(kNotADate);
        return false;
    }
    long count = *days;
    if (pass.serverMode && text.find(',') == std::string::npos) {
        // A refused request date keeps the field's bits, not 1 January 1998.
        bool refused = false;
        count = T_server_CalDateValue(text, &refused);
        if (refused)
            return false;
    }
    core::Val2Bits(static_cast<double>(std::max(count, 0L)), F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

std::optional<std::string> tooltipDate(const FieldContext& c)
{
    return "Date format (mmmm d, yyyy) - " + bitsText(F(c).bitCount);
}

// ----- MDEF_REF-TYPE ---------------------------------------------------------------

constexpr std::array<const char*, 10> kMdefNames = {"KV501", "KV502", "KV503", "KV504", "KV505",
                                                    "KV506", "KV507", "RP808", "KM501 (1 mV/pC)", "KM501 (10 mV/pC)"};

std::optional<std::string> decodeMdef(const FieldContext& c)
{
    const double v = rawDouble(c);
    if (v >= 1 && v <= 10)
        return std::string(kMdefNames[static_cast<std::size_t>(v) - 1]);
    if (F(c).format.empty())
        return core::numeric::Str(v);
    return core::numeric::Format(v, F(c).format);
}

bool encodeMdef(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    const std::string t = core::upper(core::trim(text));
    for (std::size_t i = 0; i < kMdefNames.size(); ++i) {
        if (t == core::upper(kMdefNames[i])) {
            pass.mdefValue = static_cast<std::int32_t>(i + 1);
            core::Val2Bits(pass.mdefValue, F(c).bitAddress, F(c).bitCount, c.buf);
            return true;
        }
    }
    const auto v = core::numeric::parseNumber(t);
    if (!v || !std::isfinite(*v)) {
        refuse(kNotANumber);
        return false;
    }
    pass.mdefValue = core::numeric::CLng(std::floor(*v)).value_or(*v < 0 ? 0 : 2147483647);
    core::Val2Bits(std::floor(*v), F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

std::optional<std::string> tooltipMdef(const FieldContext& c)
{
    return "Specific function 0 - 255 - " + bitsText(F(c).bitCount);
}

// ----- DIRECTION, SIGN -------------------------------------------------------------

std::optional<std::string> decodeDirection(const FieldContext& c)
{
    const auto v = raw(c).low64();
    static constexpr std::array<const char*, 4> names = {"X", "Y", "Z", "n/a"};
    if (v < names.size() && raw(c).fitsU64())
        return std::string(names[v]);
    return raw(c).toString();  // a value of its own: shown, and kept when not edited
}

bool encodeDirection(const FieldContext& c, const std::string& text, EncodePass&)
{
    const std::string t = core::upper(core::trim(text));
    const int v = t == "X" ? 0 : t == "Y" ? 1 : t == "Z" ? 2 : 3;
    core::Val2Bits(v, F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

std::optional<std::string> tooltipDirection(const FieldContext& c)
{
    return "Direction x, y, z or n/a - " + bitsText(F(c).bitCount);
}

std::optional<std::string> decodeSign(const FieldContext& c)
{
    const BigUInt v = raw(c);
    if (v == BigUInt{})
        return std::string("+1");
    if (v == BigUInt(1))
        return std::string("-1");
    return v.toString();
}

bool encodeSign(const FieldContext& c, const std::string& text, EncodePass&)
{
    const std::string t = core::upper(core::trim(text));
    core::Val2Bits((t == "1" || t == "+1") ? 0 : 1, F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

std::optional<std::string> tooltipSign(const FieldContext& c) { return "Sign +1 or -1 - " + bitsText(F(c).bitCount); }

// ----- BINARY ----------------------------------------------------------------------

std::optional<std::string> decodeBinary(const FieldContext&) { return std::string("Not yet supported"); }
std::optional<std::string> tooltipBinary(const FieldContext& c) { return "HEX - " + bitsText(F(c).bitCount); }

// ----- ASCII, ASCII-7BIT -----------------------------------------------------------

// Characters a text shows. A text to the end of the memory ends where the memory's
// content ends: the bytes of FFh that end the memory are erased memory, or the fill of
// a memory file shorter than 496 bytes, and the text's trailing blanks before them are
// cut. A character that reaches from bits that are all 0 (the bits after the last whole
// character) into those bytes is the fill's, not the text's; one whose own low bits
// hold a 1 is a character (the stop code after it is 1s too).
int shownCharacters(const FieldContext& c, int width)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
    if (F(c).bitCount != 0)
        return n;
    int end = std::min(c.buf.Size, static_cast<int>(c.buf.Bytes.size()) - 1);
    while (end > 0 && c.buf.Bytes[static_cast<std::size_t>(end)] == 0xFF)
        --end;
    const int fillStart = 8 * end;
    for (int i = 0; i < n; ++i) {
        const int a = F(c).bitAddress + width * i;
        if (a >= fillStart)
            return i;  // the text ends with the content
        if (a + width <= fillStart)
            continue;
        // The one character that reaches into the fill.
        return core::Bits2Val(c.buf, a, fillStart - a).isZero() ? i : n;
    }
    return n;
}

std::string decodeText(const FieldContext& c, int width)
{
    const int n = shownCharacters(c, width);
    const unsigned stop = (1u << width) - 1;
    std::string t;
    for (int i = 1; i <= n; ++i) {
        const auto code = static_cast<unsigned>(core::Bits2Val(c.buf, F(c).bitAddress + width * (i - 1), width).low64());
        if (code == stop || code == 0)  // code 0 ends a text as well: no NUL characters
            break;
        t.push_back(static_cast<char>(code));
    }
    return cutTrailingBlanks(t, n);
}

void encodeText(const FieldContext& c, const std::string& text, int width)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
    for (int i = 1; i <= n; ++i) {
        const unsigned code = static_cast<std::size_t>(i) <= text.size()
                                  ? static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)])
                                  : 32u;
        core::Val2Bits(code, F(c).bitAddress + width * (i - 1), width, c.buf);
    }
}

FieldLookup lookupText(const FieldContext& c, int width)
{
    // Trailing blanks removed; the first character stays.
    const int n = shownCharacters(c, width);
    std::string t;
    for (int i = 1; i <= n; ++i) {
        const auto code = core::Bits2Val(c.buf, F(c).bitAddress + width * (i - 1), width).low64();
        if (code == 0)
            break;  // no NUL characters
        t.push_back(static_cast<char>(code));
    }
    while (t.size() > 1 && t.back() == ' ')
        t.pop_back();
    FieldLookup r;
    r.hasText = true;
    r.text = t;
    return r;
}

std::optional<std::string> tooltipText(const FieldContext& c, int width, const char* what)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
    const int unused = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, 1) - width * n;
    return std::string(what) + charCount(n) + bitsText(width * n) + " ,  unused bits = " +
           core::numeric::Str(unused);
}

std::optional<std::string> decodeAscii(const FieldContext& c) { return decodeText(c, 8); }
std::optional<std::string> decodeAscii7(const FieldContext& c) { return decodeText(c, 7); }
bool encodeAscii(const FieldContext& c, const std::string& text, EncodePass&)
{
    encodeText(c, text, 8);
    return true;
}
bool encodeAscii7(const FieldContext& c, const std::string& text, EncodePass&)
{
    encodeText(c, text, 7);
    return true;
}
FieldLookup lookupAscii(const FieldContext& c) { return lookupText(c, 8); }
FieldLookup lookupAscii7(const FieldContext& c) { return lookupText(c, 7); }
std::optional<std::string> tooltipAscii(const FieldContext& c) { return tooltipText(c, 8, "ASCII char, max. "); }
std::optional<std::string> tooltipAscii7(const FieldContext& c) { return tooltipText(c, 7, "ASCII-7bit char, max. "); }

} // namespace editor::fieldcodecs
