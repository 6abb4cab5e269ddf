#pragma once
// The number rules of the platform the program grew up on, in one place:
// doubles converted through a 15-significant-digit decimal, integer conversions that
// round halves to even, leading-number reading of text, and the plain number texts.
// Numbers are always written with "." as decimal point, whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core::numeric {

// A double as a decimal of 15 significant digits: value = sign d1.d2..d15 x 10^exponent.
struct Decimal15 {
    bool negative = false;
    bool zero = true;
    std::string digits;  // 15 digits, the first not 0 (empty for zero)
    int exponent = 0;
};
// For a finite x.
Decimal15 toDecimal15(double x);

// x rounded to 15 significant digits (the nearest double to that decimal).
double round15(double x);
// Integer part after that conversion: floor(round15(x)). (0.3 - 0) / 0.1 gives 3.
double decimalInt(double x);

// Rounding down (Int) and toward zero (Fix).
double Int(double x);
double Fix(double x);
// To the nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double x);
// Integer conversions, halves to even; nullopt when the result does not fit (or x is NaN).
std::optional<std::int32_t> CLng(double x);
std::optional<std::int16_t> CInt(double x);

// The longest leading part of text that forms a number: optional sign, digits with one
// decimal point ("." only), optional exponent "e"/"E" with optional sign and digits.
// 0 when there is none. *length receives the characters used (0 when none).
// A magnitude beyond the double range gives +-infinity.
double leadingNumber(std::string_view text, std::size_t* length = nullptr);

// Leading-number reading of the platform: blanks, tabs and line feeds are skipped
// anywhere; "&H" and "&O" start a hexadecimal or octal number (read as unsigned);
// otherwise as leadingNumber. 0 when the text starts with no number.
double Val(std::string_view text);

// The whole text as a number: blanks around it allowed, optional sign, digits with one
// decimal point, optional exponent, or "&H"/"&O" digits. With commaDecimal a ","
// counts as decimal point as well. nullopt when the text is no number.
std::optional<double> parseNumber(std::string_view text, bool commaDecimal = true);
bool IsNumeric(std::string_view text, bool commaDecimal = true);

// General number form: up to 15 significant digits, no trailing zeros, scientific
// ("1E-05", "1.5E+20") below 1E-4 and from 1E+15 on; "NaN", "Infinity", "-Infinity".
std::string generalNumber(double x);
// The same with a leading blank for x >= 0 and no "0" before the decimal point of a
// magnitude below 1 (" 5", "-3", " .5").
std::string Str(double x);

} // namespace core::numeric
