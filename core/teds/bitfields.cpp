#include "core/teds/bitfields.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/lists/listsstate.h"
#include "core/numeric/numberrules.h"

#include <algorithm>
#include <cmath>

namespace core {

namespace {

constexpr int kCritical = 16;
constexpr std::size_t kManufacturerSlots = 4097;

void fieldError(const std::string& text) { ShowMessage(text, kCritical, ""); }

// Bits and bytes are one truth: a field write changes both.
void setBit(TedsBuf& tb, int at, bool value)
{
    tb.Bits[static_cast<std::size_t>(at)] = value;
    const auto byte = static_cast<std::size_t>(at / 8 + 1);
    if (at / 8 < tb.Size && byte < tb.Bytes.size()) {
        const auto mask = static_cast<std::uint8_t>(1u << (at % 8));
        tb.Bytes[byte] = static_cast<std::uint8_t>(value ? (tb.Bytes[byte] | mask) : (tb.Bytes[byte] & ~mask));
    }
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

unsigned hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

// The integer value of ValueIn before limiting: false when it is no number.
// *saturated: larger than any field (positive infinity).
bool integerValue(const numeric::Number& v, numeric::BigUInt* out, bool* saturated)
{
    *saturated = false;
    double d = 0;
    switch (v.kind()) {
    case numeric::Number::Kind::Exact:
        *out = v.exact();
        return true;
    case numeric::Number::Kind::Text: {
        const std::string t = trim(v.text());
        if (auto exact = numeric::BigUInt::fromDecimal(t)) {
            *out = *exact;
            return true;
        }
        const auto parsed = numeric::parseNumber(t);
        if (!parsed)
            return false;
        d = *parsed;
        break;
    }
    case numeric::Number::Kind::Double:
        d = v.asDouble();
        break;
    }
    if (std::isnan(d))
        return false;
    if (std::isinf(d)) {
        *saturated = d > 0;
        *out = {};
        return true;
    }
    const double r = numeric::decimalInt(d);
    *out = r > 0 ? numeric::BigUInt::fromDouble(r) : numeric::BigUInt{};
    return true;
}

} // namespace

bool FieldInImage(const TedsBuf& tb, int BitPos, int NoOfBits)
{
    if (tb.holdsBits(BitPos, NoOfBits))
        return true;
    fieldError("Error field outside TEDS image, BitPos = " + std::to_string(BitPos) +
               ". NoOfBits = " + std::to_string(NoOfBits) + ". Bits in image = " + std::to_string(tb.bitCount()));
    return false;
}

void Val2Bits(const numeric::Number& ValueIn, int BitPos, int NoOfBits, TedsBuf& tb)
{
    numeric::BigUInt r;
    bool saturated = false;
    if (!integerValue(ValueIn, &r, &saturated)) {
        fieldError("Error in Sub Val2Bits. ValueIn = " + ValueIn.display() + ". NoOfBits = " + std::to_string(NoOfBits));
        return;
    }
    if (NoOfBits >= 33) {
        fieldError("Error number field to large, must be less than 32, and is " + std::to_string(NoOfBits));
        return;
    }
    const numeric::BigUInt max = numeric::BigUInt::allOnes(NoOfBits);
    if (saturated || r > max)
        r = max;
    if (NoOfBits <= 0 || !FieldInImage(tb, BitPos, NoOfBits))
        return;
    for (int j = 0; j < NoOfBits; ++j)
        setBit(tb, BitPos + j, r.bit(j));
}

numeric::BigUInt Bits2Val(const TedsBuf& tb, int BitPos, int NoOfBits)
{
    numeric::BigUInt sum;
    if (NoOfBits <= 0 || !FieldInImage(tb, BitPos, NoOfBits))
        return sum;
    for (int j = 0; j < NoOfBits; ++j)
        if (tb.Bits[static_cast<std::size_t>(BitPos + j)])
            sum.setBit(j);
    return sum;
}

void FillFieldOnes(int BitPos, int NoOfBits, TedsBuf& tb)
{
    if (NoOfBits >= 32) {
        fieldError("Error number field to large, must be less than 31, and is " + std::to_string(NoOfBits));
        return;
    }
    if (NoOfBits <= 0 || !FieldInImage(tb, BitPos, NoOfBits))
        return;
    for (int j = 0; j < NoOfBits; ++j)
        setBit(tb, BitPos + j, true);
}

bool HexToBits(std::string& hex, int BitPos, int NoOfBits, TedsBuf& tb)
{
    if (!std::all_of(hex.begin(), hex.end(), isHexDigit))
        return false;
    if (hex.size() % 2 != 0)
        hex.insert(hex.begin(), '0');
    const int width = std::max(NoOfBits, 0);
    if (!FieldInImage(tb, BitPos, width))
        return false;
    int n = 0;
    bool overflow = false;
    for (std::size_t end = hex.size(); end >= 2; end -= 2) {
        const unsigned byte = (hexDigit(hex[end - 2]) << 4) | hexDigit(hex[end - 1]);
        for (int k = 0; k < 8; ++k, ++n) {
            const bool bit = ((byte >> k) & 1u) != 0;
            if (n < width)
                setBit(tb, BitPos + n, bit);
            else if (bit)
                overflow = true;
        }
    }
    for (; n < width; ++n)
        setBit(tb, BitPos + n, false);
    if (overflow)
        fieldError("overflow in hex when creating binary image");
    return true;
}

std::string BitsToHexString(const TedsBuf& tb, int BitPos, int NoOfBits)
{
    if (NoOfBits <= 0 || !FieldInImage(tb, BitPos, NoOfBits))
        return {};
    const int groups = (NoOfBits + 7) / 8;
    std::string out;
    for (int g = groups - 1; g >= 0; --g) {
        unsigned value = 0;
        for (int j = 0; j < 8; ++j) {
            const int n = g * 8 + j;
            if (n < NoOfBits && tb.Bits[static_cast<std::size_t>(BitPos + n)])
                value |= 1u << j;
        }
        out += ByteToHex2(value);
    }
    return out;
}

int ManufacturerIndexFromId(std::int32_t id, std::span<const std::int32_t> ids)
{
    return ManufacturerIndexFromId(id, ids, static_cast<int>(ids.size()));
}

int ManufacturerIndexFromId(std::int32_t id, std::span<const std::int32_t> ids, int entryCount)
{
    const std::size_t limit = std::min(ids.size(), kManufacturerSlots);
    for (std::size_t i = 0; i < limit; ++i)
        if (ids[i] == id)
            return static_cast<int>(i);
    return entryCount - 1;
}

int ManufacturerIndexFromId(std::int32_t id)
{
    const auto& st = listsState();
    const int count = st.Manufacturers.ListCount();
    const auto read = std::min(static_cast<std::size_t>(std::max(count, 0)), st.ManufacturerIds.size());
    return ManufacturerIndexFromId(id, std::span<const std::int32_t>(st.ManufacturerIds.data(), read), count);
}

} // namespace core
