#include "core/tdl/tdlnumbers.h"

#include "core/numeric/numberrules.h"

namespace core::tdl {

namespace {

// Bit counts, widths and selector values are mostly a few plain digits: their value
// without the general number reading (which gives the same).
bool plainInt(std::string_view text, std::int32_t* value)
{
    if (text.empty() || text.size() > 9)
        return false;
    std::int32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

double number(std::string_view text)
{
    const auto v = numeric::parseNumber(text, false);
    if (!v)
        throw TdlError("Type mismatch: \"" + std::string(text) + "\"");
    return *v;
}
} // namespace

std::int32_t toLong(std::string_view text)
{
    if (std::int32_t v = 0; plainInt(text, &v))
        return v;
    const auto v = numeric::CLng(number(text));
    if (!v)
        throw TdlError("Overflow: " + std::string(text));
    return *v;
}

std::int16_t toInt(std::string_view text)
{
    if (std::int32_t v = 0; plainInt(text, &v) && v <= 32767)
        return static_cast<std::int16_t>(v);
    const auto v = numeric::CInt(number(text));
    if (!v)
        throw TdlError("Overflow: " + std::string(text));
    return *v;
}

Currency toCurrency(std::string_view text)
{
    // Plain decimals are read exactly: a UTID of 15 digits survives the round trip.
    bool plain = false;
    if (const auto exact = Currency::fromDecimalText(text, &plain))
        return *exact;
    if (plain)
        throw TdlError("Overflow: " + std::string(text));
    const auto v = Currency::fromDouble(number(text));
    if (!v)
        throw TdlError("Overflow: " + std::string(text));
    return *v;
}

std::int16_t valInt(std::string_view text)
{
    const auto v = numeric::CInt(numeric::Val(text));
    if (!v)
        throw TdlError("Overflow: " + std::string(text));
    return *v;
}

int notNegative(int v, const char* what)
{
    if (v < 0)
        throw TdlError(std::string("Negative ") + what + ": " + std::to_string(v));
    return v;
}

} // namespace core::tdl
