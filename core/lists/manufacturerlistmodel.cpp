#include "core/lists/manufacturerlistmodel.h"

#include <algorithm>
#include <stdexcept>

namespace core {

void ManufacturerListModel::AddItem(const std::string& name)
{
    items_.push_back(name);
    changed();
}

void ManufacturerListModel::Clear()
{
    items_.clear();
    listIndex_ = -1;
    changed();
}

void ManufacturerListModel::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw std::out_of_range("list index " + std::to_string(index));
    listIndex_ = index;
    changed();
}

int ManufacturerListModel::addListener(Listener f)
{
    listeners_.push_back({nextId_, std::move(f)});
    return nextId_++;
}

void ManufacturerListModel::removeListener(int id)
{
    std::erase_if(listeners_, [id](const Entry& e) { return e.id == id; });
}

void ManufacturerListModel::changed()
{
    // A listener may remove itself while being called.
    const auto copy = listeners_;
    for (const auto& e : copy)
        if (e.f)
            e.f();
}

} // namespace core
