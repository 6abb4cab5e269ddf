#pragma once
// A TEDS window bound to a node record: Inititiate's binding (the read with retries, the
// TEDS stored for the node's index, the template matched, the node's state for the node
// list), where the window's node stands in the node list, and the node ids a node-list
// memory names.

#include <cstdint>

namespace editor {

class TedsF;

class TedsBinding {
public:
    explicit TedsBinding(TedsF& window) : w_(window) {}
    TedsBinding(const TedsBinding&) = delete;
    TedsBinding& operator=(const TedsBinding&) = delete;

    // Binds to TrList(index), reads the node unless its TEDS was read, and reports in
    // NodeState: 1 not assigned (or no template), 2 CRC error, 3 TEDS, 4 node list.
    void bind(int index, std::int32_t& NodeState);
    // Template matching on the document; the title tells a TEDS without one.
    bool matchTemplate();
    // The TEDS's manufacturer id into the record of this very node.
    void storeSelector();
    // Record index of the window's TEDS node, -1 when it is not listed.
    int ownRecord() const;
    // The window's node is in the node list.
    bool nodeListed() const;
    // The node list's Node_list from the node-list memory read.
    void makeNodeList();

private:
    TedsF& w_;
};

} // namespace editor
