// Grouping the nodes of a multi-node transducer under one top-level node.

#include "shell/nodes/nodelist.h"

#include <algorithm>
#include <set>
#include <unordered_map>

namespace shell {

namespace {

// A top-level node that keeps other members after srcKey's node left it must not keep
// the Key "root" & that node's id, or the node could not be added again once it goes:
// it takes the Key of its first remaining member, or none when that one is in use.
void rekeyTop(NodeTree::Handle top, const std::string& srcKey)
{
    auto& t = nodesState().tree;
    if (srcKey.rfind("id", 0) != 0 || t.node(top).key != "root" + srcKey.substr(2))
        return;
    const std::string& firstKey = t.node(t.firstChild(top)).key;
    std::string key = firstKey.rfind("id", 0) == 0 ? "root" + firstKey.substr(2) : std::string();
    if (!key.empty() && t.findKey(key) != NodeTree::None)
        key.clear();
    t.setKey(top, key);
}

} // namespace

void MoveBrance(NodeTree::Handle src, NodeTree::Handle dst)
{
    auto& s = nodesState();
    auto& t = s.tree;
    if (!t.exists(src) || !t.exists(dst))
        return;
    const NodeTree::Handle oldTop = t.parent(src);
    const NodeTree::Handle newTop = t.parent(dst);
    if (oldTop == NodeTree::None || newTop == NodeTree::None || oldTop == newTop)
        return;
    // The id node moves with its record nodes; each keeps its own Tag.
    t.move(src, newTop);
    const auto& kids = t.children(src);
    s.LastNode = kids.empty() ? src : kids.back();
    // A top-level node always has a child: drop the old one once it is empty.
    if (t.children(oldTop).empty())
        t.remove(oldTop);
    else
        rekeyTop(oldTop, t.node(src).key);
    t.ensureVisible(s.LastNode);
}

void ConcatNodeList(NodeTree::Handle dst)
{
    std::set<std::string> done;
    const std::vector<std::string> list = nodesState().Node_list;
    for (const std::string& id : list) {
        if (!done.insert(id).second)
            continue;
        NodeTree::Handle idx;
        bool found;
        NodeInList(id, idx, found);
        if (found)
            MoveBrance(idx, dst);
    }
}

bool AllNodeinNodeList()
{
    for (const std::string& id : nodesState().Node_list) {
        NodeTree::Handle idx;
        bool found;
        NodeInList(id, idx, found);
        if (!found)
            return false;
    }
    return true;
}

void SetTransTitle(NodeTree::Handle top)
{
    auto& t = nodesState().tree;
    if (!t.exists(top))
        return;
    for (NodeTree::Handle S : t.children(top)) {
        const int k = recordIndexOfNode(S);
        if (k < 0)
            continue;
        const TrRecord& r = nodesState().TrList[k];
        if (r.selector >= 16 && r.obj) {
            t.setText(top, r.obj->Title());
            return;
        }
    }
}

namespace {

bool groupingIndexCurrent(const NodesState& s)
{
    const GroupingIndex& g = s.grouping;
    return g.taken && g.tree == s.tree.version() && g.fields == s.recordFieldChanges && g.records == s.TrList.size();
}

// The candidates from the records: a record holding a node list not yet used whose id
// node is the first child of its top-level node (the node's first record names the id
// node by its Tag). Node-list records are few, so a tree of n nodes costs n checks of a
// selector, and the sort by tree order is needed only when there are several.
void takeGroupingIndex(NodesState& s)
{
    const auto& t = s.tree;
    GroupingIndex& g = s.grouping;
    g.tops.clear();
    for (std::size_t k = 0; k < s.TrList.size(); ++k) {
        const TrRecord& r = s.TrList[k];
        if (r.selector != 1 || r.grouped || !r.obj)
            continue;
        const NodeTree::Handle h = t.findKey("id" + r.id);
        if (h == NodeTree::None || recordIndexOfNode(h) != static_cast<int>(k))
            continue;
        const NodeTree::Handle top = t.parent(h);
        if (top != NodeTree::None && t.parent(top) == NodeTree::None && t.firstChild(top) == h)
            g.tops.push_back(top);
    }
    if (g.tops.size() > 1) {
        std::unordered_map<NodeTree::Handle, std::size_t> position;
        for (std::size_t i = 0; i < t.roots().size(); ++i)
            position.emplace(t.roots()[i], i);
        std::sort(g.tops.begin(), g.tops.end(),
                  [&position](NodeTree::Handle a, NodeTree::Handle b) { return position.at(a) < position.at(b); });
    }
    g.tree = t.version();
    g.fields = s.recordFieldChanges;
    g.records = s.TrList.size();
    g.taken = true;
}

const std::vector<NodeTree::Handle>& groupingCandidates(NodesState& s)
{
    if (!groupingIndexCurrent(s))
        takeGroupingIndex(s);
    return s.grouping.tops;
}

// The candidates that come after top in the tree as it is now.
std::vector<NodeTree::Handle> candidatesAfter(NodesState& s, NodeTree::Handle top)
{
    std::vector<NodeTree::Handle> out = groupingCandidates(s);
    const auto& roots = s.tree.roots();
    const auto at = std::find(roots.begin(), roots.end(), top);
    if (at == roots.end())
        return out;
    std::erase_if(out, [&](NodeTree::Handle h) { return std::find(roots.begin(), at + 1, h) != at + 1; });
    return out;
}

} // namespace

void ConcatTransducers()
{
    auto& s = nodesState();
    if (s.tree.empty())
        return;
    // The index names every top-level node the walk over all of them would try.
    std::vector<NodeTree::Handle> tops = groupingCandidates(s);
    for (std::size_t i = 0; i < tops.size(); ++i) {
        const NodeTree::Handle T = tops[i];
        if (!s.tree.exists(T) || s.tree.children(T).empty())
            continue;
        const NodeTree::Handle first = s.tree.firstChild(T);
        const int k = recordIndexOfNode(first);
        if (k < 0)
            continue;
        TrRecord& r = s.TrList[k];
        if (r.selector != 1 || r.grouped || !r.obj)
            continue;
        NodeWindow* w = r.obj.get();
        w->MakeNodeListfrombuf();
        // The window may have let events run: go on only with the same record and node.
        const TrRecord* again = record(k);
        if (!again || again->obj.get() != w || !s.tree.exists(first))
            return;
        if (AllNodeinNodeList()) {
            s.TrList[k].grouped = true;
            ConcatNodeList(first);
            SetTransTitle(T);
            return;
        }
        // Events that changed the tree or the records: the nodes after this one as they are now.
        if (!groupingIndexCurrent(s)) {
            tops = candidatesAfter(s, T);
            i = static_cast<std::size_t>(-1);
        }
    }
}

} // namespace shell
