#pragma once
// The field types of a TEDS template, one row per type keyword: how a field's bits are
// shown (decode), how a typed text is written back (encode), what the field lookup by
// title returns (lookup) and the description of the field (tooltip). Adding a type is
// adding one row to the table in fieldtypes.cpp.

#include "core/codecs/valuefit.h"
#include "core/tdl/templaterecord.h"
#include "core/teds/tedsbuf.h"
#include "editor/model/manufacturerlevels.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace editor {

// Characters of bitsPerChar bits that a field at bitAddress can hold: the smaller of
// bits / bitsPerChar and what fits up to the end of the image (bits 0: up to the end).
int AllocateFieldSize(const core::TedsBuf& tb, int bitAddress, int bits, int bitsPerChar);

// True when a field of the template runs to the end of the memory: a character field of
// bit count 0.
bool runsToEndOfMemory(const core::TemplateRecord& t);

// What one field's codec works on.
struct FieldContext {
    const core::TemplateField& field;
    int index;                 // row / field index
    core::TedsBuf& buf;
    const std::string& title;  // the title box (the charge-amplifier rule reads it)
    ManufacturerLevels* levels = nullptr;  // the document's levels (a decode records its choice)
};

// Working values of one encoding pass, shared by the rows of their type.
struct EncodePass {
    bool serverMode = false;  // texts come from the request server
    // The text is a request's value for the field (not the text a row shows): it is taken
    // only when the field holds it exactly as given.
    bool requested = false;
    float singleValue = 0;
    std::int32_t mdefValue = 0;
    std::int32_t unintValue = 0;
};

// What one row's text became in its field.
struct EncodeResult {
    core::ValueFit fit = core::ValueFit::Stored;
    // What did not fit, as a request's answer names it ("\"4711\" is out of range (0 to
    // 2047)"); empty when stored.
    std::string reason;
    // The field kept its bits (the text was refused); otherwise what the field now holds
    // is what the row shows after the pass.
    bool kept = false;
    // The window's message for a kept field, "" for none.
    std::string message;
    // A lower layer has already given its own message about this text.
    bool told = false;

    bool stored() const { return fit == core::ValueFit::Stored; }
};

// The value the field lookup gives.
struct FieldLookup {
    bool hasValue = false;  // value is set
    double value = 0;
    bool hasText = false;   // text is set
    std::string text;
    bool available = true;  // false: the field holds the not-available mark (all ones)
};

struct FieldType {
    std::string_view keyword;
    // Value text of the field; nullopt leaves the row's text as it was.
    std::optional<std::string> (*decode)(const FieldContext&);
    // Writes the row text into the bits (bits and bytes) and says what became of it. A
    // codec shows no message of its own: the caller shows the result's message (a refused
    // text keeps the field's bits).
    EncodeResult (*encode)(const FieldContext&, const std::string& text, EncodePass&);
    // Lookup by title; nullptr: the lookup does not support the type.
    FieldLookup (*lookup)(const FieldContext&);
    // Description text; nullopt: none.
    std::optional<std::string> (*tooltip)(const FieldContext&);
    // Value text of the full TEDS listing (prefix: numbers with SI prefix letters);
    // nullptr: the decoded text.
    std::string (*listing)(const FieldContext&, bool prefix) = nullptr;
};

// The row of a type keyword (exact, case-sensitive); nullptr for an unknown keyword.
const FieldType* findFieldType(std::string_view keyword);

} // namespace editor
