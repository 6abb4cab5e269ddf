#pragma once
// The logarithmic (CONRELRES) and linear (CONRES) field types.
// CONRELRES code N stands for start * (1 + 2 * tol)^N; CONRES code N for start + N * step.

#include "core/codecs/valuefit.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// start * (1 + 2 * tol)^code.
double ConRelResDecode(std::int64_t code, double start, double tol);

// The code for text (SI-prefixed number, times scale), limited to 0 .. 2^bits - 1,
// rounded to the nearest code. start <= 0, tol = 0 or 1 + 2 * tol <= 0 are reported
// and give nullopt: nothing is to be written. The field's unit at the end of text is
// taken off before the number is read. *fit (when given): Refused for a text without a
// number, Clamped for a number whose nearest code lies outside 0 .. 2^bits - 1.
std::optional<double> ConRelResEncode(std::string_view text, double start, double tol, int bits, double scale,
                                      std::string_view unit = {}, ValueFit* fit = nullptr);

// The quotient (x - start) / step for text limited to start .. start + (2^bits - 1) * step,
// not rounded (Val2Bits keeps its integer part). "mm\xB3" after the number is a unit.
// step = 0 is reported and gives nullopt. The field's unit at the end of text is taken
// off before the number is read. *fit as for ConRelResEncode.
std::optional<double> ConResEncode(std::string_view text, double start, double step, int bits,
                                   std::string_view unit = {}, ValueFit* fit = nullptr);

} // namespace core
