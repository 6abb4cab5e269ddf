// Codecs of the number field types: CONRELRES, CONRES, SINGLE, MANUFACTURER, UNINT.

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

namespace {

// "N/A" typed: every bit of the field set, the code for no value. The all-ones writer
// refuses a field of 32 bits or more with its own message.
EncodeResult encodeNotAvailable(const FieldContext& c)
{
    if (F(c).bitCount >= 32) {
        core::FillFieldOnes(F(c).bitAddress, F(c).bitCount, c.buf);
        EncodeResult r = refusedKept("N/A cannot be stored in a field of " + bitsText(F(c).bitCount), "");
        r.told = true;
        return r;
    }
    core::FillFieldOnes(F(c).bitAddress, F(c).bitCount, c.buf);
    return storedAsTyped();
}

// The template's parameters make no code: the codec has reported it.
EncodeResult parametersWrong()
{
    EncodeResult r = refusedKept("the field's template parameters are wrong", "");
    r.told = true;
    return r;
}

// A coded number's outcome: the code past the largest value code is clamped too.
EncodeResult codedResult(const std::string& text, core::ValueFit fit, bool beyondLargest, const std::string& range)
{
    if (fit == core::ValueFit::Refused)
        return storedOther(fit, notANumber(text));
    if (fit == core::ValueFit::Clamped || beyondLargest)
        return storedOther(core::ValueFit::Clamped, outOfRange(text, range));
    return storedAsTyped();
}

std::string conRelResRange(const FieldContext& c)
{
    const double top = core::ConRelResDecode(static_cast<std::int64_t>(largestValueCode(F(c).bitCount)), F(c).p1, F(c).p2);
    return core::FormatSiNumber(F(c).p1, "rp", true, F(c).p2) + " to " + core::FormatSiNumber(top, "rp", true, F(c).p2) +
           F(c).unit;
}

std::string conResRange(const FieldContext& c)
{
    const double top = F(c).p1 + largestValueCode(F(c).bitCount) * F(c).p2;
    return core::FormatSiNumber(F(c).p1, "rp", false, F(c).p2) + " to " +
           core::FormatSiNumber(top, "rp", false, F(c).p2) + F(c).unit;
}

// A field with every bit set: no value, shown as "N/A".
FieldLookup notAvailable()
{
    FieldLookup r;
    r.available = false;
    r.hasText = true;
    r.text = kNotAvailable;
    return r;
}

} // namespace

// ----- CONRELRES -------------------------------------------------------------------

std::optional<std::string> decodeConRelRes(const FieldContext& c)
{
    if (allOnes(c))
        return std::string(kNotAvailable);
    const double x = core::ConRelResDecode(static_cast<std::int64_t>(raw(c).low64()), F(c).p1, F(c).p2);
    if (c.title.find("Charge amplifier") != std::string::npos && F(c).unit == "V/C")
        return core::FormatSiNumber(x * 1e-12, F(c).format, true, F(c).p2) + "V/pC";
    return withUnit(core::FormatSiNumber(x, F(c).format, true, F(c).p2), F(c).unit);
}

EncodeResult encodeConRelRes(const FieldContext& c, const std::string& text, EncodePass&)
{
    if (text == kNotAvailable)
        return encodeNotAvailable(c);
    const double scale = (F(c).unit == "V/C" && text.find("V/pC") != std::string::npos) ? 1e12 : 1;
    core::ValueFit fit = core::ValueFit::Stored;
    const auto code = core::ConRelResEncode(text, F(c).p1, F(c).p2, F(c).bitCount, scale, F(c).unit, &fit);
    if (!code)
        return parametersWrong();
    const double largest = largestValueCode(F(c).bitCount);
    core::Val2Bits(std::min(*code, largest), F(c).bitAddress, F(c).bitCount, c.buf);
    return codedResult(text, fit, *code > largest, conRelResRange(c));
}

FieldLookup lookupConRelRes(const FieldContext& c)
{
    if (allOnes(c))
        return notAvailable();
    FieldLookup r;
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
    return withUnit(core::FormatSiNumber(F(c).p1 + rawDouble(c) * F(c).p2, F(c).format, false, F(c).p2), F(c).unit);
}

EncodeResult encodeConRes(const FieldContext& c, const std::string& text, EncodePass&)
{
    if (text == kNotAvailable)
        return encodeNotAvailable(c);
    core::ValueFit fit = core::ValueFit::Stored;
    const auto q = core::ConResEncode(text, F(c).p1, F(c).p2, F(c).bitCount, F(c).unit, &fit);
    if (!q)
        return parametersWrong();
    // The nearest code: a quotient such as 23.999999999999996 stands for 24.
    const double code = std::floor(*q + 0.5);
    const double largest = largestValueCode(F(c).bitCount);
    core::Val2Bits(std::min(code, largest), F(c).bitAddress, F(c).bitCount, c.buf);
    return codedResult(text, fit, code > largest, conResRange(c));
}

FieldLookup lookupConRes(const FieldContext& c)
{
    if (allOnes(c))
        return notAvailable();
    FieldLookup r;
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
    return withUnit(singleText(s, F(c).format), F(c).unit);
}

EncodeResult encodeSingle(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    // The unit is taken off first: "1/\xB0C" after the number is no part of it.
    std::string t = core::trim(core::StripUnit(text, F(c).unit));
    std::replace(t.begin(), t.end(), ',', '.');
    // The texts the display writes for the special values.
    const std::string u = core::upper(t);
    for (const char* special : {"-INFINITY", "INFINITY", "NAN"}) {
        if (pass.requested ? u == special : u.rfind(special, 0) == 0) {
            core::Val2Bits(core::SingleToBits(special), F(c).bitAddress, F(c).bitCount, c.buf);
            return storedAsTyped();
        }
    }
    // The typed number rounded to the nearest single: the largest single, shown as
    // 3.4028235E+38, stays finite.
    std::size_t n = 0;
    const double typed = core::numeric::leadingNumber(t, &n);
    // A request's value is the whole text (no "0x1p3" read as 0).
    if (pass.requested && n > 0 && n < t.size())
        return refusedKept(notANumber(text), "");
    core::ValueFit fit = core::ValueFit::Stored;
    const auto bits = core::SingleToBits(n == 0 ? std::string("0") : t.substr(0, n), &fit);
    const float stored = core::SingleFromBits(bits.toDouble());
    if (pass.requested && n > 0 && typed != 0 && stored == 0)
        return refusedKept(outOfRange(text, "single precision, from 1.1754944E-38"), "");
    pass.singleValue = stored;
    core::Val2Bits(bits, F(c).bitAddress, F(c).bitCount, c.buf);
    if (n == 0)
        return storedOther(core::ValueFit::Refused, notANumber(text));
    if (fit == core::ValueFit::Clamped)
        return storedOther(fit, outOfRange(text, "single precision, up to 3.4028235E+38"));
    return storedAsTyped();
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
    if (c.levels) {
        const int level = Manu_Level(*c.levels, c.index);
        if (level >= 0 && level <= c.levels->ManuLevelLast)
            c.levels->ManuLevelIndex[static_cast<std::size_t>(level)] = p;
    }
    const auto& list = core::listsState().Manufacturers;
    if (p >= 0 && p < list.ListCount())
        return list.List(p);
    return std::to_string(id);
}

EncodeResult encodeNothing(const FieldContext&, const std::string&, EncodePass&) { return storedAsTyped(); }

EncodeResult encodeBinary(const FieldContext&, const std::string& text, EncodePass&)
{
    return refusedKept(quoted(text) + " cannot be written: BINARY fields are not supported", "");
}

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

namespace {

// A number text whose value has no fraction; "1e-400" (read as 0) has one.
bool wholeNumber(const std::string& t, double value)
{
    if (!std::isfinite(value))
        return true;  // out of range, said so below
    if (value != std::floor(value))
        return false;
    if (value != 0 || t.find('&') != std::string::npos)
        return true;
    const auto mantissa = t.substr(0, t.find_first_of("eE"));
    return mantissa.find_first_of("123456789") == std::string::npos;
}

} // namespace

EncodeResult encodeUnint(const FieldContext& c, const std::string& text, EncodePass& pass)
{
    const int width = F(c).bitCount;
    if (F(c).format == "hex") {
        std::string hex = core::trim(text);
        const bool hexDigits =
            !hex.empty() && hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
        if (!hexDigits)
            return refusedKept(quoted(text) + " is not a hex number", kNotANumber);
        // Significant bits of the text: set bits beyond the field are cut (the writer says so).
        const auto first = hex.find_first_not_of('0');
        int significant = 0;
        if (first != std::string::npos) {
            const int lead = std::stoi(hex.substr(first, 1), nullptr, 16);
            significant = 4 * static_cast<int>(hex.size() - first - 1) + (lead >= 8 ? 4 : lead >= 4 ? 3 : lead >= 2 ? 2 : 1);
        }
        core::HexToBits(hex, F(c).bitAddress, width, c.buf);
        if (significant > width) {
            EncodeResult r = storedOther(core::ValueFit::Cut, quoted(text) + " does not fit in " + bitsText(width));
            r.told = true;
            return r;
        }
        return storedAsTyped();
    }
    const std::string t = core::trim(text);
    if (!core::numeric::IsNumeric(t))
        return refusedKept(notANumber(text), kNotANumber);
    const BigUInt max = width > 0 ? BigUInt::allOnes(width) : BigUInt{};
    const std::string range = "0 to " + max.toString();
    if (const auto exact = BigUInt::fromDecimal(t)) {
        writeUnsigned(c, *exact);
        return *exact > max ? storedOther(core::ValueFit::Clamped, outOfRange(text, range)) : storedAsTyped();
    }
    const double typed = *core::numeric::parseNumber(t);
    if (pass.requested && !wholeNumber(t, typed))
        return refusedKept(quoted(text) + " is not a whole number", "");
    const double v = core::numeric::roundHalfEven(typed);
    pass.unintValue = core::numeric::CLng(v).value_or(2147483647);
    if (!std::isfinite(v)) {
        writeUnsigned(c, v > 0 ? max : BigUInt{});
        return storedOther(core::ValueFit::Clamped, outOfRange(text, range));
    }
    if (v <= 0) {
        writeUnsigned(c, BigUInt{});
        return v < 0 ? storedOther(core::ValueFit::Clamped, outOfRange(text, range)) : storedAsTyped();
    }
    const BigUInt value = BigUInt::fromDouble(v);
    writeUnsigned(c, value);
    return value > max ? storedOther(core::ValueFit::Clamped, outOfRange(text, range)) : storedAsTyped();
}

std::optional<std::string> tooltipUnint(const FieldContext& c)
{
    const int n = F(c).bitCount;
    return "0 to " + core::numeric::generalNumber(allOnesValue(n)) + " " + F(c).unit + " step size 1 - " +
           std::to_string(n) + (n == 1 ? " bit" : " bits");
}

} // namespace editor::fieldcodecs
