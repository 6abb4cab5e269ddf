#pragma once
// Numbers with an SI prefix letter, read and written. Texts are Windows-1252 bytes
// (the micro sign is B5h).

#include <string>
#include <string_view>

namespace core {

// The number at the start of text (characters of "0123456789eE-,.", "," read as ".")
// times the factor of the prefix letter right after it: T G M k m u \xB5 n p
// (case-sensitive); 0 for a text with no number. With unitMillimetre the letters
// "mm\xB3" after the number are a unit, not a milli prefix. *number (when given) tells
// whether the text began with a number at all.
double siReading(std::string_view text, bool unitMillimetre = false, bool* number = nullptr);
double ParseSiNumber(std::string_view text);

// text without the unit at its end (blanks before the unit go too); text itself when it
// does not end in unit or unit is empty. A unit that begins with a prefix letter
// ("mm\xB2", "m\xB3", "mV/PA") must go before the number is read, or its first letter
// would count as a prefix.
std::string StripUnit(std::string_view text, std::string_view unit);

// Display text of a number: "-" for a negative value, the magnitude written with fmt
// (numeric pattern). A fmt ending in "p" scales to an SI prefix and appends its letter
// ("u" for micro when JapaneseWindows is set, else \xB5); a fmt beginning with "r" takes
// as many decimals as resolution needs (relative: resolution is a fraction of the value).
std::string FormatSiNumber(double value, std::string_view fmt, bool relative, double resolution);

} // namespace core
