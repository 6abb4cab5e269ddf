#include "editor/model/fieldtypes.h"

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

namespace editor {

namespace {

using core::numeric::BigUInt;

constexpr const char* kNotANumber = "Not a valid number, not changed !";
constexpr const char* kNotADate = "Not a valid date, date not changed !\r\nuse day-month-year (ex. 27-05-2006)";
constexpr const char* kNotAvailable = "N/A";

const core::TemplateField& F(const FieldContext& c) { return c.field; }

BigUInt raw(const FieldContext& c) { return core::Bits2Val(c.buf, c.field.bitAddress, c.field.bitCount); }
bool allOnes(const FieldContext& c)
{
    return c.field.bitCount > 0 && raw(c) == BigUInt::allOnes(c.field.bitCount);
}
double rawDouble(const FieldContext& c) { return raw(c).toDouble(); }

void refuse(const std::string& text) { core::ShowMessage(text, 0, ""); }

std::string bitsText(int n) { return std::to_string(n) + " bits"; }
double allOnesValue(int n) { return std::ldexp(1.0, n) - 1; }

// "c char - " / "c chars - "
std::string charCount(int c) { return std::to_string(c) + (c == 1 ? " char - " : " chars - "); }

// An unsigned value written to a field of any width (clamped to it).
void writeUnsigned(const FieldContext& c, const BigUInt& v)
{
    const int n = c.field.bitCount;
    if (n <= 0)
        return;
    BigUInt x = v;
    const BigUInt max = BigUInt::allOnes(n);
    if (x > max)
        x = max;
    if (n <= 32) {
        core::Val2Bits(x, c.field.bitAddress, n, c.buf);
        return;
    }
    // Wider than the number writer takes: through the hex writer, which takes any width.
    std::string hex;
    for (int g = (n + 7) / 8 - 1; g >= 0; --g) {
        unsigned byte = 0;
        for (int j = 0; j < 8; ++j)
            if (x.bit(g * 8 + j))
                byte |= 1u << j;
        hex += core::ByteToHex2(byte);
    }
    core::HexToBits(hex, c.field.bitAddress, n, c.buf);
}

// An integer in general form: exact digits beyond the range a double holds exactly.
std::string integerText(const BigUInt& v, const std::string& format)
{
    if (v.bitLength() > 53 && (format.empty() || format == "0" || format == "#"))
        return v.toString();
    return core::numeric::Format(v.toDouble(), format);
}

// Float text for SingleToBits, independent of the locale.
std::string floatText(float x)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

std::string numberText(double x, const std::string& format)
{
    if (!std::isfinite(x))
        return core::numeric::generalNumber(x);
    return core::numeric::Format(x, format);
}

// ----- CONRELRES -------------------------------------------------------------------

std::optional<std::string> decodeConRelRes(const FieldContext& c)
{
    if (allOnes(c))
        return std::string(kNotAvailable);
    const double x = core::ConRelResDecode(static_cast<std::int64_t>(raw(c).low64()), F(c).p1, F(c).p2);
    if (c.title.find("Charge amplifier") != std::string::npos && F(c).unit == "V/C")
        return core::FormatSiNumber(x * 1e-12, F(c).format, true, F(c).p2) + "V/pC";
    return core::FormatSiNumber(x, F(c).format, true, F(c).p2) + F(c).unit;
}

bool encodeConRelRes(const FieldContext& c, const std::string& text, EncodePass&)
{
    if (text == kNotAvailable) {
        core::FillFieldOnes(F(c).bitAddress, F(c).bitCount, c.buf);
        return true;
    }
    const double scale = (F(c).unit == "V/C" && text.find("V/pC") != std::string::npos) ? 1e12 : 1;
    const auto code = core::ConRelResEncode(text, F(c).p1, F(c).p2, F(c).bitCount, scale, F(c).unit);
    if (!code)
        return false;
    core::Val2Bits(*code, F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

FieldLookup lookupConRelRes(const FieldContext& c)
{
    FieldLookup r;
    if (allOnes(c)) {
        r.available = false;
        r.hasText = true;
        r.text = kNotAvailable;
        return r;
    }
    r.hasValue = true;
    r.value = core::ConRelResDecode(static_cast<std::int64_t>(raw(c).low64()), F(c).p1, F(c).p2);
    return r;
}

std::optional<std::string> tooltipConRelRes(const FieldContext& c)
{
    const int n = F(c).bitCount;
    const double top = core::ConRelResDecode(static_cast<std::int64_t>(allOnesValue(n) - 1), F(c).p1, F(c).p2);
    return core::FormatSiNumber(F(c).p1, "rp", true, F(c).p2) + " to " + core::FormatSiNumber(top, "rp", true, F(c).p2) +
           F(c).unit + " (resolution " + core::FormatSiNumber(F(c).p2 * 100, "rp", true, F(c).p2) + "%) - " + bitsText(n);
}

// ----- CONRES ----------------------------------------------------------------------

std::optional<std::string> decodeConRes(const FieldContext& c)
{
    if (allOnes(c))
        return std::string(kNotAvailable);
    return core::FormatSiNumber(F(c).p1 + rawDouble(c) * F(c).p2, F(c).format, false, F(c).p2) + F(c).unit;
}

bool encodeConRes(const FieldContext& c, const std::string& text, EncodePass&)
{
    if (text == kNotAvailable) {
        core::FillFieldOnes(F(c).bitAddress, F(c).bitCount, c.buf);
        return true;
    }
    const auto q = core::ConResEncode(text, F(c).p1, F(c).p2, F(c).bitCount, F(c).unit);
    if (!q)
        return false;
    // The nearest code: a quotient such as 23.999999999999996 stands for 24.
    core::Val2Bits(std::floor(*q + 0.5), F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

FieldLookup lookupConRes(const FieldContext& c)
{
    FieldLookup r;
    if (allOnes(c)) {
        r.available = false;
        r.hasText = true;
        r.text = kNotAvailable;
        return r;
    }
    r.hasValue = true;
    r.value = F(c).p1 + rawDouble(c) * F(c).p2;
    return r;
}

std::optional<std::string> tooltipConRes(const FieldContext& c)
{
    const int n = F(c).bitCount;
    const double top = F(c).p1 + (allOnesValue(n) - 1) * F(c).p2;
    return core::FormatSiNumber(F(c).p1, "rp", false, F(c).p2) + " to " + core::FormatSiNumber(top, "rp", false, F(c).p2) +
           F(c).unit + " (step size " + core::FormatSiNumber(F(c).p2, "rp", false, F(c).p2) + ") - " + bitsText(n);
}

// ----- SINGLE ----------------------------------------------------------------------

std::optional<std::string> decodeSingle(const FieldContext& c)
{
    const float s = core::SingleFromBits(rawDouble(c));
    return numberText(s, F(c).format) + F(c).unit;
}

bool encodeSingle(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    std::string t = core::trim(text);
    std::replace(t.begin(), t.end(), ',', '.');
    // The texts the display writes for the special values.
    for (const char* special : {"-Infinity", "Infinity", "NaN"}) {
        if (t.rfind(special, 0) == 0) {
            core::Val2Bits(core::SingleToBits(special), F(c).bitAddress, F(c).bitCount, c.buf);
            return true;
        }
    }
    const double v = core::numeric::leadingNumber(t);
    const double largest = std::numeric_limits<float>::max();
    pass.singleValue = v > largest    ? std::numeric_limits<float>::infinity()
                       : v < -largest ? -std::numeric_limits<float>::infinity()
                                      : static_cast<float>(v);
    core::Val2Bits(core::SingleToBits(floatText(pass.singleValue)), F(c).bitAddress, F(c).bitCount, c.buf);
    return true;
}

FieldLookup lookupSingle(const FieldContext& c)
{
    FieldLookup r;
    r.hasValue = true;
    r.value = core::SingleFromBits(rawDouble(c));
    return r;
}

std::optional<std::string> tooltipSingle(const FieldContext& c)
{
    return "Single precision number " + F(c).unit + " - " + bitsText(F(c).bitCount);
}

// ----- MANUFACTURER ----------------------------------------------------------------

std::optional<std::string> decodeManufacturer(const FieldContext& c)
{
    const auto id = static_cast<std::int32_t>(std::min<std::uint64_t>(raw(c).low64(), 0x7FFFFFFF));
    const int p = core::ManufacturerIndexFromId(id);
    auto& levels = editorModelState().levels;
    const int level = Manu_Level(c.index);
    if (level >= 0 && level <= levels.ManuLevelLast)
        levels.ManuLevelIndex[static_cast<std::size_t>(level)] = p;
    const auto& list = core::listsState().Manufacturers;
    if (p >= 0 && p < list.ListCount())
        return list.List(p);
    return std::to_string(id);
}

bool encodeNothing(const FieldContext&, const std::string&, EncodePass&) { return true; }

FieldLookup lookupUnsigned(const FieldContext& c)
{
    FieldLookup r;
    r.hasValue = true;
    if (F(c).format == "hex") {
        r.value = 0;
        r.hasText = true;
        r.text = core::BitsToHexString(c.buf, F(c).bitAddress, F(c).bitCount);
    } else {
        r.value = rawDouble(c);
    }
    return r;
}

std::optional<std::string> tooltipManufacturer(const FieldContext& c)
{
    return "Enumeration of manufacturer, (use Remap to change) - " + bitsText(F(c).bitCount);
}

// ----- UNINT -----------------------------------------------------------------------

std::optional<std::string> decodeUnint(const FieldContext& c)
{
    if (F(c).format == "hex")
        return core::BitsToHexString(c.buf, F(c).bitAddress, F(c).bitCount);
    return integerText(raw(c), F(c).format);
}

bool encodeUnint(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    if (F(c).format == "hex") {
        std::string hex = core::trim(text);
        if (hex.empty() || !core::HexToBits(hex, F(c).bitAddress, F(c).bitCount, c.buf)) {
            refuse(kNotANumber);
            return false;
        }
        return true;
    }
    const std::string t = core::trim(text);
    if (!core::numeric::IsNumeric(t)) {
        refuse(kNotANumber);
        return false;
    }
    if (const auto exact = BigUInt::fromDecimal(t)) {
        writeUnsigned(c, *exact);
        return true;
    }
    const double v = core::numeric::roundHalfEven(*core::numeric::parseNumber(t));
    pass.unintValue = core::numeric::CLng(v).value_or(2147483647);
    if (v <= 0)
        writeUnsigned(c, BigUInt{});
    else
        writeUnsigned(c, BigUInt::fromDouble(v));
    return true;
}

std::optional<std::string> tooltipUnint(const FieldContext& c)
{
    const int n = F(c).bitCount;
    return "0 to " + core::numeric::generalNumber(allOnesValue(n)) + " " + F(c).unit + " step size 1 - " +
           std::to_string(n) + (n == 1 ? " bit" : " bits");
}

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
    if (pass.serverMode && text.find(',') == std::string::npos)
        count = T_server_CalDateValue(text);
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

std::string decodeText(const FieldContext& c, int width)
{
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
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
    const int n = AllocateFieldSize(c.buf, F(c).bitAddress, F(c).bitCount, width);
    std::string t;
    for (int i = 1; i <= n; ++i)
        t.push_back(static_cast<char>(core::Bits2Val(c.buf, F(c).bitAddress + width * (i - 1), width).low64()));
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

// The one table.
const std::array<FieldType, 13> kTypes = {{
    {"CONRELRES", decodeConRelRes, encodeConRelRes, lookupConRelRes, tooltipConRelRes},
    {"CONRES", decodeConRes, encodeConRes, lookupConRes, tooltipConRes},
    {"SINGLE", decodeSingle, encodeSingle, lookupSingle, tooltipSingle},
    {"MANUFACTURER", decodeManufacturer, encodeNothing, lookupUnsigned, tooltipManufacturer},
    {"UNINT", decodeUnint, encodeUnint, lookupUnsigned, tooltipUnint},
    {"CHR5", decodeChr5, encodeChr5, nullptr, tooltipChr5},
    {"DATE", decodeDate, encodeDate, nullptr, tooltipDate},
    {"MDEF_REF-TYPE", decodeMdef, encodeMdef, nullptr, tooltipMdef},
    {"DIRECTION", decodeDirection, encodeDirection, nullptr, tooltipDirection},
    {"BINARY", decodeBinary, encodeNothing, nullptr, tooltipBinary},
    {"SIGN", decodeSign, encodeSign, nullptr, tooltipSign},
    {"ASCII", decodeAscii, encodeAscii, lookupAscii, tooltipAscii},
    {"ASCII-7BIT", decodeAscii7, encodeAscii7, lookupAscii7, tooltipAscii7},
}};

} // namespace

int AllocateFieldSize(const core::TedsBuf& tb, int bitAddress, int bits, int bitsPerChar)
{
    if (bitsPerChar <= 0)
        return 0;
    const int available = std::max(tb.Size * 8 - bitAddress, 0);
    if (bits != 0 && available / bitsPerChar >= bits / bitsPerChar)
        return std::max(bits / bitsPerChar, 0);
    return available / bitsPerChar;
}

const FieldType* findFieldType(std::string_view keyword)
{
    for (const auto& t : kTypes)
        if (t.keyword == keyword)
            return &t;
    return nullptr;
}

} // namespace editor
