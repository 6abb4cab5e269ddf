#pragma once
// Numeric pattern formatting as the platform's Format does it, with "." as decimal point.
//
// Pattern characters: "0" a digit always shown, "#" a digit shown when significant,
// "." the decimal point (shown even with no decimal digit after it), "," between integer
// digits: digit grouping, "," right before the decimal point or at the end: divide by
// 1000, "%" multiply by 100, "E-" "E+" "e-" "e+" followed by digit placeholders:
// scientific form (the "-" forms show a sign only for a negative exponent), "\" the
// next character literally, "..." literal text, any other character itself, and up to
// three sections "positive;negative;zero". The value is first taken as a decimal of 15
// significant digits, then rounded half away from zero to the digits shown.
// An empty pattern gives the general number form (generalNumber). The named formats
// "General Number", "Fixed", "Standard", "Percent" and "Scientific" are understood.

#include <string>
#include <string_view>

namespace core::numeric {

std::string Format(double x, std::string_view pattern);

} // namespace core::numeric
