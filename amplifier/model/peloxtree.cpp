#include "amplifier/model/peloxtree.h"

#include <algorithm>

namespace amplifier {

int PeloxTree::indexOfKey(const std::string& key) const
{
    if (key.empty())
        return 0;
    for (int i = 1; i <= count(); ++i)
        if (node(i).key == key)
            return i;
    return 0;
}

int PeloxTree::indexOfId(int id) const
{
    for (int i = 1; i <= count(); ++i)
        if (node(i).id == id)
            return i;
    return 0;
}

int PeloxTree::addRoot(const std::string& key, const std::string& text, const std::string& tag)
{
    if (indexOfKey(key) != 0)
        return 0;
    nodes_.push_back({key, text, tag, 0, nextId_++});
    return count();
}

int PeloxTree::addChild(const std::string& parentKey, const std::string& text, const std::string& tag)
{
    const int parent = indexOfKey(parentKey);
    if (parent == 0)
        return 0;
    nodes_.push_back({"", text, tag, node(parent).id, nextId_++});
    return count();
}

void PeloxTree::remove(int index)
{
    if (index < 1 || index > count())
        return;
    // The node and everything below it (children follow their parent's id).
    std::vector<int> gone{node(index).id};
    for (std::size_t k = 0; k < gone.size(); ++k)
        for (const auto& n : nodes_)
            if (n.parent == gone[k])
                gone.push_back(n.id);
    std::erase_if(nodes_, [&](const PeloxTreeNode& n) { return std::find(gone.begin(), gone.end(), n.id) != gone.end(); });
    if (std::find(gone.begin(), gone.end(), selectedId) != gone.end())
        selectedId = 0;
    if (std::find(gone.begin(), gone.end(), visibleId) != gone.end())
        visibleId = 0;
}

} // namespace amplifier
