#pragma once
// Manufacturer levels: one per MANUFACTURER field of a template, in field order (the
// sensor's manufacturer, an accessory's, ...). The create/remap dialog lists them and
// keeps the chosen manufacturer list position per level; the document's display and
// the manufacturer writer use them. The levels of a template are a pure function of it;
// every TEDS document keeps those of its own template, and the dialog those of the
// template it has selected.

#include "core/tdl/templaterecord.h"

#include <vector>

namespace editor {

struct ManufacturerLevels {
    int ManuLevelLast = -1;             // last level; -1: the template has no MANUFACTURER field
    std::vector<int> ManuLevelField{0}; // field index per level (0 .. ManuLevelLast + 1)
    std::vector<int> ManuLevelIndex{0}; // manufacturer list position per level
    std::vector<std::string> entries;   // "1. title", "2. title", ... (the dialog's list)
};

// The levels of a template: every field whose type keyword is MANUFACTURER (any case),
// each level's list position 1.
ManufacturerLevels manufacturerLevelsOf(const core::TemplateRecord& t);

// The first level whose field is fieldIndex; ManuLevelLast + 1 when none is.
int Manu_Level(const ManufacturerLevels& levels, int fieldIndex);

// The levels of library template t (no level for an index outside the library).
ManufacturerLevels manufacturerLevelsOf(int templateIndex);

// The id of the first manufacturer list entry whose name contains name (any case); that
// entry becomes the list's selection. -1 (selection unchanged) when none contains it.
long getManufacturerCode(const std::string& name);

} // namespace editor
