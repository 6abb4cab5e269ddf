#pragma once
// Byte and hex-text helpers of the 1-Wire byte layer.

#include <cstdint>
#include <string>
#include <vector>

namespace device {

// 255 for value >= 256, 0 for value < 0, else value.
std::uint8_t Clamp_Byte(int value);

// Two upper-case hex digits per byte of array[first .. last]; "" when first > last.
// Indexes outside the array are skipped.
std::string Bytes_To_Hex(const std::vector<std::uint8_t>& array, int first, int last);

// array[i] := the hex pair of text at 1-based position start + 2 x (i - first), for
// i = first .. last. Leading hex digits of the pair count; a pair that is missing or
// starts with no hex digit gives 0. Indexes outside the array are skipped.
void Hex_To_Bytes(const std::string& text, int start, std::vector<std::uint8_t>& array, int first, int last);

// Value of the leading hex digits of text (at most maxDigits, and never more than
// kMaxHexDigits); 0 when there are none.
constexpr std::size_t kMaxHexDigits = 7;
int leadingHexValue(const std::string& text, std::size_t pos, std::size_t maxDigits);

} // namespace device
