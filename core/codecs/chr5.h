#pragma once
// The 5-bit character type CHR5: 0 blank, 1 .. 26 "A" .. "Z", 27 "," 28 "." 29 "/"
// 30 "_" 31 "@". Writing also takes the Windows-1252 letters "\xC6" "\xD8" "\xC5" and
// "&" for 27 .. 30; any other character is written as 31.

#include "core/codecs/valuefit.h"
#include "core/teds/tedsbuf.h"

#include <string>

namespace core {

// Upper-cases "a" .. "z" and "\xE6" "\xF8" "\xE5" in place; other characters stay.
void UpperCaseForChr5(std::string& text);

// The code written for one (upper-case) character.
int Chr5Code(char c);

// Writes NoOfChars characters from BitPos, 5 bits each, the first at the lowest
// address; a text shorter than that is filled with blanks, characters beyond it are
// ignored. The caller's text is upper-cased. A field outside the image is reported
// and nothing is written. *fit (when given): Cut when a character that is no blank lies
// beyond NoOfChars, or a character within has no code of its own (it is written as 31,
// which reads back as the end of the text).
void StringToChr5Bits(std::string& text, int BitPos, int NoOfChars, TedsBuf& tb, ValueFit* fit = nullptr);

// Whether c (after upper-casing) has a code of its own (not 31).
bool Chr5Holds(char c);

// The character of one code ("@" for 31 and any code outside 0 .. 30).
std::string Chr5ToChar(int code);

} // namespace core
