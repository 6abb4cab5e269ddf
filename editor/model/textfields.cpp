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

// Why a text is cut to a field of n characters: its length, else its first character
// that the character set cannot hold (holds tells).
std::string cutReason(const std::string& text, int n, bool (*holds)(char), const char* type)
{
    std::size_t length = text.size();
    while (length > 0 && text[length - 1] == ' ')
        --length;
    if (length > static_cast<std::size_t>(std::max(n, 0)))
        return quoted(text) + " is " + std::to_string(length) + " characters long, the field holds " +
               std::to_string(n);
    for (char ch : text.substr(0, length)) {
        if (!holds(ch)) {
            if (ch == '\0')
                return quoted(text) + " holds a NUL character, which ends the text";
            return quoted(std::string(1, ch)) + " cannot be written as " + type;
        }
    }
    return quoted(text) + " does not fit";
}

EncodeResult encodeChr5(const FieldContext& c, const std::string& text, EncodePass&)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, 5);
    std::string t = text;
    core::ValueFit fit = core::ValueFit::Stored;
    core::StringToChr5Bits(t, F(c).bitAddress, n, c.buf, &fit);
    if (fit == core::ValueFit::Stored)
        return storedAsTyped();
    return storedOther(fit, cutReason(t, n, core::Chr5Holds, "CHR5"));
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

EncodeResult encodeDate(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    const auto days = dateFieldDays(text);
    if (!days)
        return refusedKept(quoted(text) + " is not a date", kNotADate);
    long count = *days;
    if (pass.serverMode && text.find(',') == std::string::npos) {
        // A refused request date keeps the field's bits, not 1 January 1998.
        bool refused = false;
        count = T_server_CalDateValue(text, &refused);
        if (refused) {
            EncodeResult r = refusedKept(quoted(text) + " is not a valid date (day-month-year, 1998 to 2176)", "");
            r.told = true;  // the strict reading gives its own messages
            return r;
        }
    }
    const int width = F(c).bitCount;
    const double last = allOnesValue(width);
    core::Val2Bits(static_cast<double>(std::max(count, 0L)), F(c).bitAddress, width, c.buf);
    if (count < 0 || static_cast<double>(count) > last)
        return storedOther(core::ValueFit::Clamped,
                           outOfRange(text, dateFieldText(0) + " to " + dateFieldText(static_cast<long>(last))));
    return storedAsTyped();
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

EncodeResult encodeMdef(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    const std::string t = core::upper(core::trim(text));
    const double max = allOnesValue(F(c).bitCount);
    for (std::size_t i = 0; i < kMdefNames.size(); ++i) {
        if (t == core::upper(kMdefNames[i])) {
            pass.mdefValue = static_cast<std::int32_t>(i + 1);
            core::Val2Bits(pass.mdefValue, F(c).bitAddress, F(c).bitCount, c.buf);
            if (static_cast<double>(i + 1) > max)
                return storedOther(core::ValueFit::Clamped, outOfRange(text, "0 to " + core::numeric::Str(max)));
            return storedAsTyped();
        }
    }
    const auto v = core::numeric::parseNumber(t);
    if (!v || !std::isfinite(*v))
        return refusedKept(notANumber(text), kNotANumber);
    const double value = std::floor(*v);
    pass.mdefValue = core::numeric::CLng(value).value_or(*v < 0 ? 0 : 2147483647);
    core::Val2Bits(value, F(c).bitAddress, F(c).bitCount, c.buf);
    if (value < 0 || value > max)
        return storedOther(core::ValueFit::Clamped, outOfRange(text, "0 to " + core::numeric::generalNumber(max)));
    return storedAsTyped();
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

EncodeResult encodeDirection(const FieldContext& c, const std::string& text, EncodePass&)
{
    const std::string t = core::upper(core::trim(text));
    const int v = t == "X" ? 0 : t == "Y" ? 1 : t == "Z" ? 2 : 3;
    core::Val2Bits(v, F(c).bitAddress, F(c).bitCount, c.buf);
    if (v == 3 && t != "N/A")
        return storedOther(core::ValueFit::Refused, quoted(text) + " is no direction (X, Y, Z or n/a)");
    if (v > allOnesValue(F(c).bitCount))
        return storedOther(core::ValueFit::Clamped, quoted(text) + " does not fit in " + bitsText(F(c).bitCount));
    return storedAsTyped();
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

EncodeResult encodeSign(const FieldContext& c, const std::string& text, EncodePass&)
{
    const std::string t = core::upper(core::trim(text));
    const bool plus = t == "1" || t == "+1";
    core::Val2Bits(plus ? 0 : 1, F(c).bitAddress, F(c).bitCount, c.buf);
    if (!plus && t != "-1")
        return storedOther(core::ValueFit::Refused, quoted(text) + " is no sign (+1 or -1)");
    return storedAsTyped();
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

// A character the ASCII types hold: not NUL (it ends the text), below the stop code.
bool asciiHolds(char ch) { return ch != '\0' && static_cast<unsigned char>(ch) < 255; }
bool ascii7Holds(char ch) { return ch != '\0' && static_cast<unsigned char>(ch) < 127; }

EncodeResult encodeText(const FieldContext& c, const std::string& text, int width)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
    bool (*holds)(char) = width == 8 ? asciiHolds : ascii7Holds;
    bool cut = false;
    for (int i = 1; i <= n; ++i) {
        const bool inText = static_cast<std::size_t>(i) <= text.size();
        const char ch = inText ? text[static_cast<std::size_t>(i - 1)] : ' ';
        cut = cut || !holds(ch);
        core::Val2Bits(static_cast<unsigned char>(ch), F(c).bitAddress + width * (i - 1), width, c.buf);
    }
    for (std::size_t i = static_cast<std::size_t>(std::max(n, 0)); i < text.size(); ++i)
        cut = cut || text[i] != ' ';
    if (!cut)
        return storedAsTyped();
    return storedOther(core::ValueFit::Cut, cutReason(text, n, holds, width == 8 ? "ASCII" : "ASCII-7BIT"));
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
EncodeResult encodeAscii(const FieldContext& c, const std::string& text, EncodePass&) { return encodeText(c, text, 8); }
EncodeResult encodeAscii7(const FieldContext& c, const std::string& text, EncodePass&) { return encodeText(c, text, 7); }
FieldLookup lookupAscii(const FieldContext& c) { return lookupText(c, 8); }
FieldLookup lookupAscii7(const FieldContext& c) { return lookupText(c, 7); }
std::optional<std::string> tooltipAscii(const FieldContext& c) { return tooltipText(c, 8, "ASCII char, max. "); }
std::optional<std::string> tooltipAscii7(const FieldContext& c) { return tooltipText(c, 7, "ASCII-7bit char, max. "); }

} // namespace editor::fieldcodecs
