#pragma once
// The codecs of the field-type table (fieldtypes.cpp), one set per type keyword, and
// the helpers they share. Only the field-type table uses this header.

#include "core/numeric/biguint.h"
#include "editor/model/fieldtypes.h"

#include <optional>
#include <string>

namespace editor::fieldcodecs {

using core::numeric::BigUInt;

inline constexpr const char* kNotANumber = "Not a valid number, not changed !";
inline constexpr const char* kNotADate = "Not a valid date, date not changed !\r\nuse day-month-year (ex. 27-05-2006)";
inline constexpr const char* kNotAvailable = "N/A";

// Helpers.
const core::TemplateField& F(const FieldContext& c);
BigUInt raw(const FieldContext& c);
bool allOnes(const FieldContext& c);
double rawDouble(const FieldContext& c);
// Results of a codec.
EncodeResult storedAsTyped();
// Refused, the field keeps its bits; message: the window's message.
EncodeResult refusedKept(const std::string& reason, const std::string& message);
// Stored, but not as typed (fit Refused, Clamped or Cut): the field holds something else.
EncodeResult storedOther(core::ValueFit fit, const std::string& reason);
// The typed text for a reason, in double quotes, long texts shortened.
std::string quoted(const std::string& text);
// Reason texts.
std::string notANumber(const std::string& text);
std::string outOfRange(const std::string& text, const std::string& range);
std::string bitsText(int n);
double allOnesValue(int n);
double largestValueCode(int n);
std::string charCount(int c);
void writeUnsigned(const FieldContext& c, const BigUInt& v);
std::string integerText(const BigUInt& v, const std::string& format);
std::string floatText(float x);
std::string numberText(double x, const std::string& format);
std::string singleText(float x, const std::string& format);
std::string withUnit(const std::string& number, const std::string& unit);

// Codecs.
std::optional<std::string> decodeConRelRes(const FieldContext& c);
EncodeResult encodeConRelRes(const FieldContext& c, const std::string& text, EncodePass&);
FieldLookup lookupConRelRes(const FieldContext& c);
std::optional<std::string> tooltipConRelRes(const FieldContext& c);
std::optional<std::string> decodeConRes(const FieldContext& c);
EncodeResult encodeConRes(const FieldContext& c, const std::string& text, EncodePass&);
FieldLookup lookupConRes(const FieldContext& c);
std::optional<std::string> tooltipConRes(const FieldContext& c);
std::optional<std::string> decodeSingle(const FieldContext& c);
EncodeResult encodeSingle(const FieldContext& c, const std::string& text, EncodePass& pass);
FieldLookup lookupSingle(const FieldContext& c);
std::optional<std::string> tooltipSingle(const FieldContext& c);
std::optional<std::string> decodeManufacturer(const FieldContext& c);
EncodeResult encodeNothing(const FieldContext&, const std::string&, EncodePass&);
EncodeResult encodeBinary(const FieldContext& c, const std::string&, EncodePass&);
FieldLookup lookupUnsigned(const FieldContext& c);
std::optional<std::string> tooltipManufacturer(const FieldContext& c);
std::optional<std::string> decodeUnint(const FieldContext& c);
EncodeResult encodeUnint(const FieldContext& c, const std::string& text, EncodePass& pass);
std::optional<std::string> tooltipUnint(const FieldContext& c);
std::optional<std::string> decodeChr5(const FieldContext& c);
EncodeResult encodeChr5(const FieldContext& c, const std::string& text, EncodePass&);
std::optional<std::string> tooltipChr5(const FieldContext& c);
std::optional<std::string> decodeDate(const FieldContext& c);
EncodeResult encodeDate(const FieldContext& c, const std::string& text, EncodePass& pass);
std::optional<std::string> tooltipDate(const FieldContext& c);
std::optional<std::string> decodeMdef(const FieldContext& c);
EncodeResult encodeMdef(const FieldContext& c, const std::string& text, EncodePass& pass);
std::optional<std::string> tooltipMdef(const FieldContext& c);
std::optional<std::string> decodeDirection(const FieldContext& c);
EncodeResult encodeDirection(const FieldContext& c, const std::string& text, EncodePass&);
std::optional<std::string> tooltipDirection(const FieldContext& c);
std::optional<std::string> decodeSign(const FieldContext& c);
EncodeResult encodeSign(const FieldContext& c, const std::string& text, EncodePass&);
std::optional<std::string> tooltipSign(const FieldContext& c);
std::optional<std::string> decodeBinary(const FieldContext&);
std::optional<std::string> tooltipBinary(const FieldContext& c);
std::optional<std::string> decodeAscii(const FieldContext& c);
std::optional<std::string> decodeAscii7(const FieldContext& c);
EncodeResult encodeAscii(const FieldContext& c, const std::string& text, EncodePass&);
EncodeResult encodeAscii7(const FieldContext& c, const std::string& text, EncodePass&);
FieldLookup lookupAscii(const FieldContext& c);
FieldLookup lookupAscii7(const FieldContext& c);
std::optional<std::string> tooltipAscii(const FieldContext& c);
std::optional<std::string> tooltipAscii7(const FieldContext& c);
// Listing texts of the full TEDS listing (listingfields.cpp).
std::string listConRelRes(const FieldContext& c, bool prefix);
std::string listConRes(const FieldContext& c, bool prefix);
std::string listSingle(const FieldContext& c, bool prefix);

} // namespace editor::fieldcodecs
