#pragma once
// The IEEE 754 single-precision field type (SINGLE, 32 bits: sign, 8-bit exponent with
// bias 127, 23-bit fraction) and the binary digit texts it is built from.

#include "core/codecs/valuefit.h"
#include "core/numeric/biguint.h"
#include "core/numeric/number.h"

#include <string>
#include <string_view>

namespace core {

// The 32-bit pattern of the number in text (read with "." or "," as decimal point,
// rounded to single precision; a text that is no number reads as its leading number,
// else 0). "NaN", "Infinity" and "-Infinity" give their patterns. Magnitudes below
// 2^-126 follow the field's own rule: [2^-127, 2^-126) get exponent field 0 with the
// implicit 1, smaller ones are 0 (a negative one keeps the sign bit). *fit (when
// given): Refused for a text without a number, Clamped for a finite number beyond the
// single range (stored as infinity).
numeric::BigUInt SingleToBits(std::string_view text, ValueFit* fit = nullptr);

// The single whose pattern is the field value raw (0 .. 2^32 - 1): exponent field 0
// with fraction 0 gives 0, with a fraction the implicit 1 is read as SingleToBits
// writes it; exponent field 255 gives infinity (fraction 0) or NaN.
float SingleFromBits(double raw);

// The sum of 2^(n - i) over the positions i = 1 .. n of text holding "1".
numeric::BigUInt BinTextToValue(std::string_view text, int n);

// n characters "0"/"1", most significant first, of Int(value); 2^n or more gives n
// ones, a negative value n zeros.
std::string ValueToBinText(const numeric::Number& value, int n);

} // namespace core
