#pragma once
// Module-level state of the tag and manufacturer lists.

#include "core/lists/fieldtags.h"
#include "core/lists/manufacturerlistmodel.h"

#include <array>
#include <cstdint>
#include <memory>

namespace core {

// Positions 0 .. 4096 of the manufacturer table.
constexpr int kManufacturerIdsLast = 4096;

struct ListsState {
    // The tag list; created by start-up (reads TagList.xdl). Null until then.
    std::unique_ptr<Fieldtags> FieldTagList;
    // Id of manufacturer list position k.
    std::array<std::int32_t, kManufacturerIdsLast + 1> ManufacturerIds{};
    // Names of the manufacturer list (shown by the create/remap dialog).
    ManufacturerListModel Manufacturers;
};

ListsState& listsState();
// Fresh start values (tests). The Manufacturers model is cleared in place, so views
// that hold it stay valid.
void resetListsState();

} // namespace core
