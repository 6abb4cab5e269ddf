#pragma once
// The amplifier tree without widgets: nodes in the order they were added (index 1 is
// the first), each with its key, text, tag and parent, as the tree view control keeps
// them. The window mirrors it into its tree widget.

#include <string>
#include <vector>

namespace amplifier {

struct PeloxTreeNode {
    std::string key;   // "" for a node without key
    std::string text;
    std::string tag;   // the tag as text
    int parent = 0;    // id of the parent node, 0 at the top level
    int id = 0;        // stays with the node while others come and go
};

class PeloxTree {
public:
    // Nodes 1 .. count().
    int count() const { return static_cast<int>(nodes_.size()); }
    const PeloxTreeNode& node(int index) const { return nodes_.at(static_cast<std::size_t>(index - 1)); }
    // Index of the node with that key, or 0.
    int indexOfKey(const std::string& key) const;
    // Index of the node with that id, or 0.
    int indexOfId(int id) const;

    // Adds a top-level node; its index. A key already in use is refused (0).
    int addRoot(const std::string& key, const std::string& text, const std::string& tag);
    // Adds a child of the node with parentKey; 0 when there is no such node.
    int addChild(const std::string& parentKey, const std::string& text, const std::string& tag);
    // Removes node index with its children.
    void remove(int index);
    void setText(int index, const std::string& text) { nodes_.at(static_cast<std::size_t>(index - 1)).text = text; }
    void clear() { nodes_.clear(); }

    // The node the tree shows selected (its id; 0 = none) and the one last scrolled into view.
    int selectedId = 0;
    int visibleId = 0;

private:
    std::vector<PeloxTreeNode> nodes_;
    int nextId_ = 1;
};

} // namespace amplifier
