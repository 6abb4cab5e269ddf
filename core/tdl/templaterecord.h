#pragma once
// One template of the library: its selectors, field layout, groups and ids. Its lists
// hold what the template uses, within the language's limits.

#include "core/lists/fieldtag.h"
#include "core/tdl/boundedlist.h"
#include "core/tdl/currency.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace core {

// Limits of one template.
constexpr int kSelectorsMax = 16;
constexpr int kGroupBreaksMax = 11;
constexpr int kFieldsMax = 41;

struct TemplateSelector {
    int bitAddress = 0;      // first bit
    int width = 0;           // bits
    std::int32_t match = 0;  // value of those bits; bit 0 is the selector's first bit
};

struct TemplateField {
    std::string title;
    std::shared_ptr<FieldTag> tag;  // the tag-list entry
    std::string tagName;            // upper case, without "%" and the bracket suffix
    std::string tagSuffix;          // "[...]" in upper case, or ""
    int access = 0;                 // 0 ID, 1 CAL, 2 USR, 3 other
    int bitAddress = 0;
    int bitCount = 0;
    std::string typeKeyword;        // upper case
    double p1 = 0;                  // CONRES, CONRELRES parameters
    double p2 = 0;
    std::string format;             // display format (UNINT, SINGLE, CONRES, CONRELRES)
    std::string unit;               // SINGLE, CONRES, CONRELRES
};

struct TemplateRecord {
    std::string name;
    std::string file;  // description file name as given to the parser
    bool validated = false;
    int UTIDT = 0;
    Currency UGID;
    Currency UTID;
    int selectorLast = -1;
    BoundedList<TemplateSelector, kSelectorsMax> selectors;  // 0 .. selectorLast
    int groupLast = -1;
    BoundedList<int, kGroupBreaksMax> groupBreaks;  // field index before which a gap is left
    int fieldLast = -1;
    BoundedList<TemplateField, kFieldsMax> fields;  // 0 .. fieldLast
    int abstractCount = 0;
    std::vector<std::string> abstractLines;
    bool manufacturerInSelector = false;
    std::int32_t defaultManufacturerId = 0;
    int manufacturerField = 0;  // index of the first MANUFACTURER field (0 when none)
    int lengthBits = 0;
};

} // namespace core
