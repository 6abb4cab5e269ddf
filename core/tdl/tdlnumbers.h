#pragma once
// Number conversions of the description-file readers. The strict ones throw TdlError
// where the text is no number or the value does not fit its field.

#include "core/tdl/currency.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace core {

// A run-time error while reading a description file line.
struct TdlError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

namespace tdl {

// The whole text as a 32-bit / 16-bit integer (halves to even).
std::int32_t toLong(std::string_view text);
std::int16_t toInt(std::string_view text);
// The whole text as a fixed-point number.
Currency toCurrency(std::string_view text);
// The leading number of text (0 for none), rounded to a 16-bit integer.
std::int16_t valInt(std::string_view text);
// A value that must not be negative (widths, addresses).
int notNegative(int v, const char* what);

} // namespace tdl
} // namespace core
