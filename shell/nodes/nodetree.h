#pragma once
// The node tree without widgets: ordered nodes with an optional unique Key, a Text and
// a Tag, as the main window's tree control shows them. A node is named by a handle that
// stays valid until the node is removed; handles are never reused.
//
// Levels as the node list builds them: top-level node (Key "root" & id, Tag "root"),
// id node (Key "id" & id, Tag = index of the node's first record), record node (no Key,
// Tag = index of its record).

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace shell {

class NodeTreeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class NodeTree {
public:
    using Handle = int;  // 0: no node
    static constexpr Handle None = 0;

    struct Node {
        Handle handle = None;
        Handle parent = None;
        std::string key;
        std::string text;
        std::string tag;
        bool expanded = false;
        std::vector<Handle> children;
    };

    // What a view of the tree is told. A removal is reported for the branch's root only.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void nodeAdded(Handle h) = 0;
        virtual void nodeRemoved(Handle h) = 0;
        virtual void nodeChanged(Handle h) = 0;  // text or expansion
        virtual void nodeMoved(Handle h) = 0;    // now the last child of its new parent
        virtual void treeCleared() = 0;
    };

    NodeTree() = default;
    NodeTree(const NodeTree&) = delete;
    NodeTree& operator=(const NodeTree&) = delete;

    // Appends a node under parent (None: a top-level node). Throws NodeTreeError for a
    // key already in use or a parent that does not exist.
    Handle add(Handle parent, const std::string& key, const std::string& text);
    // Removes the node with its whole branch; an unknown handle does nothing.
    void remove(Handle h);
    void clear();
    // Makes the node the last child of newParent (None: last top-level node).
    void move(Handle h, Handle newParent);

    bool exists(Handle h) const { return nodes_.count(h) != 0; }
    // Throws NodeTreeError for an unknown handle.
    const Node& node(Handle h) const;
    Handle findKey(const std::string& key) const;
    Handle parent(Handle h) const { return node(h).parent; }
    const std::vector<Handle>& children(Handle h) const { return node(h).children; }
    Handle firstChild(Handle h) const;
    const std::vector<Handle>& roots() const { return roots_; }
    // Every node, each parent before its children, in display order.
    std::vector<Handle> allNodes() const;
    int count() const { return static_cast<int>(nodes_.size()); }
    bool empty() const { return nodes_.empty(); }
    // Grows with every change of the tree's nodes, their order, Keys or Tags (not with
    // texts or expansion): an index over the tree is current while it stays the same.
    std::uint64_t version() const { return version_; }

    void setText(Handle h, const std::string& text);
    void setTag(Handle h, const std::string& tag);
    // Gives the node another Key (empty: none). Throws NodeTreeError for a key in use.
    void setKey(Handle h, const std::string& key);
    // Expands every ancestor of the node, so that it can be seen.
    void ensureVisible(Handle h);
    void setExpanded(Handle h, bool on);

    void setListener(Listener* l) { listener_ = l; }

private:
    Node& mut(Handle h);
    std::vector<Handle>& siblingsOf(Handle parent);
    void collect(Handle h, std::vector<Handle>& out) const;
    void erase(Handle h);

    std::map<Handle, Node> nodes_;
    std::vector<Handle> roots_;
    std::map<std::string, Handle> keys_;
    Handle next_ = 1;
    std::uint64_t version_ = 0;
    Listener* listener_ = nullptr;
};

// Numeric value of a Tag: "root" and other text give 0.
int tagValue(const std::string& tag);

} // namespace shell
