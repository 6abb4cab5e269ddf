#pragma once
// The items of an amplifier's reply, taken one by one off the front of the text
// (configuration, sensitivity and template-list replies).
//
// GetStr: leading blanks are dropped. A quoted item is the text between its quotes
// (all the rest when the closing quote is missing); the text continues after the first
// comma behind the closing quote, so a quoted item may hold commas. An unquoted item
// runs to the first comma, blanks before it included. Without a further comma the text
// becomes empty.
// GetLong: the leading number of the text up to its first comma, rounded to the nearest
// integer (halves to even) and kept within the 32-bit range; the text continues after
// that comma.

#include <cstdint>
#include <string>

namespace amplifier {

std::string GetStr(std::string& text);
std::int32_t GetLong(std::string& text);

// The leading number of an item, "." as decimal point (0 when there is none).
double leadingValue(const std::string& item);

} // namespace amplifier
