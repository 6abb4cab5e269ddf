#include "shell/nodes/nodelist.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/validation/validation.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/familytable.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodewindowfactory.h"
#include "shell/nodes/windowgraveyard.h"

#include <algorithm>
#include <stdexcept>

namespace shell {

namespace {

NodeWindowFactory* g_factory = nullptr;

// A window call let events run and the record it was made for is gone.
void requireRecord(int k, const NodeWindow* w)
{
    const TrRecord* r = record(k);
    if (!r || r->obj.get() != w)
        throw NodeListChanged();
}

std::string idKey(const std::string& id) { return "id" + id; }
std::string rootKey(const std::string& id) { return "root" + id; }

int countFamily(int family)
{
    const auto& list = nodesState().TrList;
    return static_cast<int>(std::count_if(list.begin(), list.end(), [family](const TrRecord& r) { return r.family == family; }));
}

// Removes record k and its window; Tags above k move down by one.
void removeRecordAt(int k)
{
    auto& s = nodesState();
    if (k < 0 || k > TrLast())
        return;
    auto& core = core::coreState();
    if (!core.SwitchNodeId.empty() && s.TrList[k].id == core.SwitchNodeId)
        core.SwitchNodeId.clear();
    std::unique_ptr<NodeWindow> w = std::move(s.TrList[k].obj);
    s.TrList.erase(s.TrList.begin() + k);
    noteRecordRemoved();
    for (NodeTree::Handle h : s.tree.allNodes()) {
        const std::string& tag = s.tree.node(h).tag;
        if (tag.empty() || tag == "root")
            continue;
        const int v = tagValue(tag);
        if (v > k)
            s.tree.setTag(h, std::to_string(v - 1));
    }
    if (w)
        deferDelete(std::move(w));
}

NodeTree::Handle addRecordNode(const std::string& id, int k)
{
    auto& s = nodesState();
    const NodeTree::Handle idNode = s.tree.findKey(idKey(id));
    const NodeTree::Handle h = s.tree.add(idNode, "", "");
    s.LastNode = h;
    s.tree.setTag(h, std::to_string(k));
    return h;
}

void NewTrRecord(const std::string& id, int family)
{
    auto& s = nodesState();
    NodeWindowFactory& factory = nodeWindowFactory();
    const int k = TrLast() + 1;
    {
        TrRecord r;
        r.id = id;
        r.lives = s.LivesInit;
        r.aging = true;
        r.family = family;
        s.TrList.push_back(std::move(r));
    }
    s.tree.setTag(s.LastNode, std::to_string(k));
    const NodeTree::Handle recNode = addRecordNode(id, k);
    const std::string name = familyRecordName(family);
    s.TrList[k].name = name;

    switch (familyKind(family)) {
    case FamilyKind::Thermometer:
        s.TrList[k].obj = factory.NewTemperatureF();
        s.TrList[k].state = TrStateFunction;
        s.tree.setText(recNode, recordNodeText(family, 0));
        break;
    case FamilyKind::DualSwitch: {
        NodeWindow* w = (s.TrList[k].obj = factory.NewTedsF()).get();
        std::int32_t st = 0;
        w->Inititiate(k, st);
        requireRecord(k, w);
        s.TrList[k].state = st;
        s.tree.setText(recNode, recordNodeText(family, st));
        // The switch of the same node.
        const int m = TrLast() + 1;
        TrRecord sw;
        sw.id = id;
        sw.lives = s.LivesInit;
        sw.aging = false;
        sw.family = kSwitchRecordFamily;
        sw.state = TrStateFunction;
        sw.name = kSwitchRecordName;
        s.TrList.push_back(std::move(sw));
        const NodeTree::Handle swNode = addRecordNode(id, m);
        NodeWindow* sww = (s.TrList[m].obj = factory.NewSwitchF()).get();
        s.tree.setText(swNode, kSwitchNodeText);
        sww->Inititiate(m);
        requireRecord(m, sww);
        requireRecord(k, w);
        if (s.TrList[k].selector >= 16)
            UpdateTRName(id, w->Title());
        break;
    }
    case FamilyKind::Memory: {
        NodeWindow* w = (s.TrList[k].obj = factory.NewTedsF()).get();
        std::int32_t st = 0;
        w->Inititiate(k, st);
        requireRecord(k, w);
        if (st == TrStateTeds && s.TrList[k].selector >= 16)
            UpdateTRName(id, w->Title());
        s.TrList[k].state = st;
        s.tree.setText(recNode, recordNodeText(family, st));
        break;
    }
    case FamilyKind::Unsupported: {
        NodeWindow* w = (s.TrList[k].obj = factory.NewNotSupportedF()).get();
        w->setFamilyCodeLabel("Family code h" + core::ByteToHex2(static_cast<unsigned>(family) & 0xFF));
        s.tree.setText(recNode, recordNodeText(family, 0));
        auto& core = core::coreState();
        if (family == FamilyAdapter9097U && countFamily(family) == 1 && nodeHost().ds9097uDriverChecked()) {
            UpdateTRName(id, kAdapter9097UTitle);
            s.tree.setText(recNode, kAdapterChipText);
            core.AdapterId9097U = id;
        } else if (family == FamilyAdapter9490R && countFamily(family) == 1 && nodeHost().ds9490rDriverChecked()) {
            UpdateTRName(id, kAdapter9490RTitle);
            s.tree.setText(recNode, kAdapterChipText);
            core.AdapterId9490R = id;
        }
        break;
    }
    }
    s.tree.setText(s.tree.parent(s.LastNode), name + " (" + id + ")");
}

} // namespace

void setNodeWindowFactory(NodeWindowFactory* factory) { g_factory = factory; }

NodeWindowFactory& nodeWindowFactory()
{
    if (!g_factory)
        throw std::runtime_error("no node window factory registered");
    return *g_factory;
}

NodesState& nodesState()
{
    static NodesState s;
    return s;
}

void noteRecordFieldChange() { ++nodesState().recordFieldChanges; }

void resetNodesState()
{
    auto& s = nodesState();
    s.TrList.clear();
    s.tree.clear();
    s.LastNode = NodeTree::None;
    s.Node_list.clear();
    s.LivesInit = 4;
    noteRecordRemoved();
    s.grouping = GroupingIndex{};
}

int TrLast() { return static_cast<int>(nodesState().TrList.size()) - 1; }

TrRecord* record(int index)
{
    auto& list = nodesState().TrList;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return nullptr;
    return &list[index];
}

int recordIndexOfNode(NodeTree::Handle h)
{
    const auto& t = nodesState().tree;
    if (!t.exists(h))
        return -1;
    const std::string& tag = t.node(h).tag;
    if (tag.empty() || tag == "root")
        return -1;
    const int k = tagValue(tag);
    return record(k) ? k : -1;
}

void New_Transducer(const std::string& name, const std::string& idRef, int family, NodeTree::Handle& index)
{
    const std::string id = idRef;
    auto& s = nodesState();
    NodeTree::Handle top = NodeTree::None;
    try {
        top = s.tree.add(NodeTree::None, rootKey(id), name);
        s.LastNode = top;
        s.tree.setTag(top, "root");
        s.LastNode = s.tree.add(top, idKey(id), "");
        index = s.LastNode;
        NewTrRecord(id, family);
        const auto& core = core::coreState();
        if (id != core.AdapterId9097U && id != core.SwitchNodeId && id != core.AdapterId9490R)
            s.tree.ensureVisible(s.LastNode);
    } catch (...) {
        // Nothing was added when the top-level node could not be.
        if (top == NodeTree::None) {
            index = NodeTree::None;
            throw;
        }
        for (int k = TrLast(); k >= 0; --k)
            if (s.TrList[k].id == id)
                removeRecordAt(k);
        s.tree.remove(top);
        auto& core = core::coreState();
        if (core.AdapterId9097U == id)
            core.AdapterId9097U.clear();
        if (core.AdapterId9490R == id)
            core.AdapterId9490R.clear();
        s.LastNode = NodeTree::None;
        index = NodeTree::None;
        throw;
    }
}

void NodeInList(const std::string& id, NodeTree::Handle& index, bool& found)
{
    const auto& t = nodesState().tree;
    found = false;
    index = NodeTree::None;
    const NodeTree::Handle h = t.findKey(idKey(id));
    if (h == NodeTree::None)
        return;
    const NodeTree::Handle p = t.parent(h);
    // Only the first two levels hold id nodes.
    if (p == NodeTree::None || t.parent(p) != NodeTree::None)
        return;
    index = h;
    found = true;
}

int NodeIndexFromId(const std::string& id)
{
    const auto& list = nodesState().TrList;
    for (int k = 0; k < static_cast<int>(list.size()); ++k)
        if (list[k].id == id)
            return k;
    core::ShowMessage("Error should not occure: ID not found in Database, please report to " + core::SupportAddress());
    return -1;
}

void Remove_transducer(const std::string& idRef)
{
    // idRef may be a record's own id, which the removal moves.
    const std::string id = idRef;
    auto& s = nodesState();
    NodeTree::Handle idx;
    bool found;
    NodeInList(id, idx, found);
    if (found) {
        const NodeTree::Handle top = s.tree.parent(idx);
        for (NodeTree::Handle S : std::vector<NodeTree::Handle>(s.tree.children(top))) {
            for (NodeTree::Handle R : std::vector<NodeTree::Handle>(s.tree.children(S))) {
                const int k = recordIndexOfNode(R);
                if (k >= 0)
                    removeRecordAt(k);
            }
        }
        s.tree.remove(top);
        if (s.LastNode != NodeTree::None && !s.tree.exists(s.LastNode))
            s.LastNode = NodeTree::None;
    }
    // Records of that id that have no tree node.
    for (int k = TrLast(); k >= 0; --k)
        if (s.TrList[k].id == id)
            removeRecordAt(k);
}

int removeAllTransducers()
{
    int n = 0;
    while (TrLast() >= 0) {
        const std::string id = nodesState().TrList[0].id;
        Remove_transducer(id);
        if (TrLast() >= 0 && nodesState().TrList[0].id == id)
            removeRecordAt(0);
        ++n;
    }
    noteAllNodesDropped();
    return n;
}

void releaseAllNodes()
{
    auto& s = nodesState();
    for (TrRecord& r : s.TrList)
        if (r.obj)
            r.obj->Unload();
    s.TrList.clear();
    s.tree.clear();
    s.LastNode = NodeTree::None;
    s.Node_list.clear();
    noteRecordRemoved();
    destroyDeferredNow();
}

void UpdateTRName(const std::string& id, const std::string& text)
{
    NodeTree::Handle idx;
    bool found;
    NodeInList(id, idx, found);
    if (found)
        nodesState().tree.setText(nodesState().tree.parent(idx), text);
}

std::string GetTRName(const std::string& id)
{
    NodeTree::Handle idx;
    bool found;
    NodeInList(id, idx, found);
    if (!found)
        return "Transducer not found";
    const auto& t = nodesState().tree;
    return t.node(t.parent(idx)).text;
}

bool GetTedsObject(const std::string& id, const std::string& text, NodeWindow*& obj)
{
    NodeTree::Handle idx;
    bool found;
    NodeInList(id, idx, found);
    if (!found)
        return false;
    const auto& t = nodesState().tree;
    for (NodeTree::Handle S : t.children(t.parent(idx))) {
        for (NodeTree::Handle R : t.children(S)) {
            if (t.node(R).text != text)
                continue;
            const int k = recordIndexOfNode(R);
            if (k < 0)
                return false;
            obj = nodesState().TrList[k].obj.get();
            return true;
        }
    }
    return false;
}

} // namespace shell
