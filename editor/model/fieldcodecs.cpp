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

const core::TemplateField& F(const FieldContext& c) { return c.field; }

BigUInt raw(const FieldContext& c) { return core::Bits2Val(c.buf, c.field.bitAddress, c.field.bitCount); }
bool allOnes(const FieldContext& c)
{
    return c.field.bitCount > 0 && raw(c) == BigUInt::allOnes(c.field.bitCount);
}
double rawDouble(const FieldContext& c) { return raw(c).toDouble(); }

EncodeResult storedAsTyped() { return {}; }

EncodeResult refusedKept(const std::string& reason, const std::string& message)
{
    EncodeResult r;
    r.fit = core::ValueFit::Refused;
    r.reason = reason;
    r.kept = true;
    r.message = message;
    return r;
}

EncodeResult storedOther(core::ValueFit fit, const std::string& reason)
{
    EncodeResult r;
    r.fit = fit;
    r.reason = reason;
    return r;
}

std::string quoted(const std::string& text)
{
    // Control characters written as \xNN: an answer line holds no NUL or line end.
    constexpr std::size_t kLongest = 40;
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < kLongest; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32) {
            static constexpr char hex[] = "0123456789ABCDEF";
            out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        } else {
            out.push_back(text[i]);
        }
    }
    return out + (text.size() > kLongest ? "...\"" : "\"");
}

std::string notANumber(const std::string& text) { return quoted(text) + " is not a number"; }

std::string outOfRange(const std::string& text, const std::string& range)
{
    return quoted(text) + " is out of range (" + range + ")";
}

std::string bitsText(int n) { return std::to_string(n) + " bits"; }
double allOnesValue(int n) { return std::ldexp(1.0, n) - 1; }

// The largest code of a coded number: all ones is the not-available mark, so a value
// beyond the range is stored as the range's end, not as "N/A".
double largestValueCode(int n) { return n >= 2 ? allOnesValue(n) - 1 : allOnesValue(n); }

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

// In the general form a single shows the fewest digits that read back as the same single
// (0.1, not the 15 digits of its double 0.100000001490116).
std::string singleText(float x, const std::string& format)
{
    if (!format.empty() || !std::isfinite(x))
        return numberText(x, format);
    const std::string shortest = floatText(x);
    double v = 0;
    std::from_chars(shortest.data(), shortest.data() + shortest.size(), v);
    return core::numeric::generalNumber(v);
}

// A unit that begins with a digit ("1/\xB0C") is set off by a blank, so that it does not
// read as more digits of the number.
std::string withUnit(const std::string& number, const std::string& unit)
{
    if (!unit.empty() && unit[0] >= '0' && unit[0] <= '9')
        return number + " " + unit;
    return number + unit;
}

} // namespace editor::fieldcodecs
