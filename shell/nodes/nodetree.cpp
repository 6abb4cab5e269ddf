#include "shell/nodes/nodetree.h"

#include <algorithm>
#include <cctype>

namespace shell {

int tagValue(const std::string& tag)
{
    // Leading digits only, as a numeric conversion of text reads them.
    std::size_t i = 0;
    while (i < tag.size() && tag[i] == ' ')
        ++i;
    bool neg = false;
    if (i < tag.size() && (tag[i] == '-' || tag[i] == '+'))
        neg = tag[i++] == '-';
    long long v = 0;
    bool any = false;
    while (i < tag.size() && std::isdigit(static_cast<unsigned char>(tag[i])) && v < 1000000000LL) {
        v = v * 10 + (tag[i++] - '0');
        any = true;
    }
    if (!any)
        return 0;
    return static_cast<int>(neg ? -v : v);
}

const NodeTree::Node& NodeTree::node(Handle h) const
{
    auto it = nodes_.find(h);
    if (it == nodes_.end())
        throw NodeTreeError("Element not found");
    return it->second;
}

NodeTree::Node& NodeTree::mut(Handle h)
{
    auto it = nodes_.find(h);
    if (it == nodes_.end())
        throw NodeTreeError("Element not found");
    return it->second;
}

std::vector<NodeTree::Handle>& NodeTree::siblingsOf(Handle parent)
{
    return parent == None ? roots_ : mut(parent).children;
}

NodeTree::Handle NodeTree::add(Handle parent, const std::string& key, const std::string& text)
{
    if (parent != None && !exists(parent))
        throw NodeTreeError("Element not found");
    if (!key.empty() && keys_.count(key))
        throw NodeTreeError("Key is not unique in collection");
    const Handle h = next_++;
    Node n;
    n.handle = h;
    n.parent = parent;
    n.key = key;
    n.text = text;
    nodes_.emplace(h, std::move(n));
    siblingsOf(parent).push_back(h);
    ++version_;
    if (!key.empty())
        keys_[key] = h;
    if (listener_)
        listener_->nodeAdded(h);
    return h;
}

void NodeTree::erase(Handle h)
{
    const Node& n = node(h);
    for (Handle c : std::vector<Handle>(n.children))
        erase(c);
    if (!n.key.empty())
        keys_.erase(n.key);
    nodes_.erase(h);
}

void NodeTree::remove(Handle h)
{
    if (!exists(h))
        return;
    auto& sib = siblingsOf(node(h).parent);
    sib.erase(std::remove(sib.begin(), sib.end(), h), sib.end());
    erase(h);
    ++version_;
    if (listener_)
        listener_->nodeRemoved(h);
}

void NodeTree::clear()
{
    nodes_.clear();
    roots_.clear();
    keys_.clear();
    ++version_;
    if (listener_)
        listener_->treeCleared();
}

void NodeTree::move(Handle h, Handle newParent)
{
    if (!exists(h) || (newParent != None && !exists(newParent)))
        throw NodeTreeError("Element not found");
    for (Handle p = newParent; p != None; p = node(p).parent)
        if (p == h)
            throw NodeTreeError("Invalid move");
    auto& old = siblingsOf(node(h).parent);
    old.erase(std::remove(old.begin(), old.end(), h), old.end());
    mut(h).parent = newParent;
    siblingsOf(newParent).push_back(h);
    ++version_;
    if (listener_)
        listener_->nodeMoved(h);
}

NodeTree::Handle NodeTree::findKey(const std::string& key) const
{
    auto it = keys_.find(key);
    return it == keys_.end() ? None : it->second;
}

NodeTree::Handle NodeTree::firstChild(Handle h) const
{
    const auto& c = children(h);
    return c.empty() ? None : c.front();
}

void NodeTree::collect(Handle h, std::vector<Handle>& out) const
{
    out.push_back(h);
    for (Handle c : node(h).children)
        collect(c, out);
}

std::vector<NodeTree::Handle> NodeTree::allNodes() const
{
    std::vector<Handle> out;
    out.reserve(nodes_.size());
    for (Handle r : roots_)
        collect(r, out);
    return out;
}

void NodeTree::setText(Handle h, const std::string& text)
{
    mut(h).text = text;
    if (listener_)
        listener_->nodeChanged(h);
}

void NodeTree::setTag(Handle h, const std::string& tag)
{
    Node& n = mut(h);
    if (n.tag != tag) {
        n.tag = tag;
        ++version_;
    }
}

void NodeTree::setKey(Handle h, const std::string& key)
{
    Node& n = mut(h);
    if (n.key == key)
        return;
    if (!key.empty() && keys_.count(key))
        throw NodeTreeError("Key is not unique in collection");
    if (!n.key.empty())
        keys_.erase(n.key);
    n.key = key;
    if (!key.empty())
        keys_[key] = h;
    ++version_;
}

void NodeTree::setExpanded(Handle h, bool on)
{
    Node& n = mut(h);
    if (n.expanded == on)
        return;
    n.expanded = on;
    if (listener_)
        listener_->nodeChanged(h);
}

void NodeTree::ensureVisible(Handle h)
{
    for (Handle p = parent(h); p != None; p = node(p).parent)
        setExpanded(p, true);
}

} // namespace shell
