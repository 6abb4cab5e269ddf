#include "amplifier/model/confitems.h"

#include "core/numeric/numberrules.h"

#include <cmath>
#include <limits>

namespace amplifier {

namespace {

// The text after the first comma at or behind from; empty without one.
void continueAfterComma(std::string& text, std::size_t from)
{
    const auto comma = text.find(',', from);
    text = comma == std::string::npos ? std::string() : text.substr(comma + 1);
}

} // namespace

std::string GetStr(std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return "";
    }
    text.erase(0, first);
    if (text[0] == '"') {
        const auto close = text.find('"', 1);
        if (close == std::string::npos) {
            std::string item = text.substr(1);
            text.clear();
            return item;
        }
        std::string item = text.substr(1, close - 1);
        continueAfterComma(text, close + 1);
        return item;
    }
    const auto comma = text.find(',');
    std::string item = text.substr(0, comma);
    continueAfterComma(text, 0);
    return item;
}

std::int32_t GetLong(std::string& text)
{
    const auto comma = text.find(',');
    const double v = core::numeric::roundHalfEven(core::numeric::Val(std::string_view(text).substr(0, comma)));
    continueAfterComma(text, 0);
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v < lo ? lo : v > hi ? hi : v);
}

double leadingValue(const std::string& item)
{
    const auto b = item.find_first_not_of(' ');
    return b == std::string::npos ? 0.0 : core::numeric::leadingNumber(std::string_view(item).substr(b));
}

} // namespace amplifier
