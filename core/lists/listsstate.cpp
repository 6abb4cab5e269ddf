#include "core/lists/listsstate.h"

namespace core {

namespace {
ListsState state;
}

ListsState& listsState() { return state; }

void resetListsState()
{
    state.FieldTagList.reset();
    state.ManufacturerIds.fill(0);
    state.Manufacturers.Clear();
}

} // namespace core
