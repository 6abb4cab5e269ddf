#pragma once
// The manufacturer names as a plain list: position k holds the name whose id is
// ManufacturerIds[k]. The create/remap dialog shows this list; nothing else keeps names.

#include <functional>
#include <string>
#include <vector>

namespace core {

class ManufacturerListModel {
public:
    using Listener = std::function<void()>;

    void AddItem(const std::string& name);
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    // Name at position i (0-based); std::out_of_range on a bad position.
    const std::string& List(int i) const { return items_.at(static_cast<std::size_t>(i)); }
    const std::vector<std::string>& items() const { return items_; }

    // Selected position, -1 for none. Setting a position outside the list throws
    // std::out_of_range.
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);

    // Called after every change (items or selection). Returns an id for removeListener.
    int addListener(Listener f);
    void removeListener(int id);

private:
    void changed();

    std::vector<std::string> items_;
    int listIndex_ = -1;
    struct Entry {
        int id;
        Listener f;
    };
    std::vector<Entry> listeners_;
    int nextId_ = 1;
};

} // namespace core
