#pragma once
// Unsigned and hexadecimal fields of a TEDS image, addressed by bit position and bit
// count (least significant bit at BitPos). Every access is checked against the image:
// a field outside it is reported and nothing is written (a read gives 0 or "").
// Field errors are shown through core::ShowMessage with the critical icon, no title.

#include "core/numeric/biguint.h"
#include "core/numeric/number.h"
#include "core/teds/tedsbuf.h"

#include <cstdint>
#include <span>
#include <string>

namespace core {

// True when the field lies inside the image; reported (and false) otherwise.
bool FieldInImage(const TedsBuf& tb, int BitPos, int NoOfBits);

// Writes an unsigned field of up to 32 bits: the value, taken as a decimal of 15
// significant digits, rounded down and limited to 0 .. 2^NoOfBits - 1.
// NoOfBits >= 33 and a text that is no number are reported; nothing is written then.
void Val2Bits(const numeric::Number& ValueIn, int BitPos, int NoOfBits, TedsBuf& tb);

// The unsigned value of a field of any width, exact (0 for NoOfBits <= 0).
numeric::BigUInt Bits2Val(const TedsBuf& tb, int BitPos, int NoOfBits);

// Sets every bit of a field of fewer than 32 bits; 32 or more is reported.
void FillFieldOnes(int BitPos, int NoOfBits, TedsBuf& tb);

// Writes a field from hex text (pairs read from the end, the last pair least
// significant; an odd length gets a "0" in front, in the caller's variable). Field
// bits above the text's are cleared; set bits that do not fit are reported as
// overflow and the low NoOfBits bits are kept. The whole text is checked first:
// a character that is no hex digit writes nothing and returns false.
bool HexToBits(std::string& hex, int BitPos, int NoOfBits, TedsBuf& tb);

// The field as upper-case hex, two digits per started group of 8 bits, most
// significant group first ("" for NoOfBits <= 0).
std::string BitsToHexString(const TedsBuf& tb, int BitPos, int NoOfBits);

// Position of id among the manufacturer ids read; an id not among them gives the last
// position of the manufacturer list (entryCount - 1; by default ids.size() - 1).
// At most the first 4097 ids are searched.
int ManufacturerIndexFromId(std::int32_t id, std::span<const std::int32_t> ids);
int ManufacturerIndexFromId(std::int32_t id, std::span<const std::int32_t> ids, int entryCount);
// The same over the manufacturer list as read: the first Manufacturers.ListCount()
// entries of ManufacturerIds; an id not among them gives the list's last position.
int ManufacturerIndexFromId(std::int32_t id);

} // namespace core
