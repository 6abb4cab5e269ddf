#include "shell/nodes/treeselect.h"

#include "shell/nodes/familytable.h"

#include "core/base/message.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/nodewindowfactory.h"

#include <stdexcept>
#include <vector>

namespace shell {

namespace {

NodeTree& tree() { return nodesState().tree; }

// The record a node's Tag names; throws when there is none.
int recordOf(NodeTree::Handle node)
{
    const auto& n = tree().node(node);
    const int k = tagValue(n.tag);
    if (n.tag.empty() || n.tag == "root" || !record(k))
        throw std::out_of_range("no record for tree node " + std::to_string(node));
    return k;
}

} // namespace

std::string GetNodeID(NodeTree::Handle node)
{
    if (!tree().exists(node))
        return {};
    const auto& n = tree().node(node);
    if (n.tag == "root")
        return {};
    const TrRecord* r = record(tagValue(n.tag));
    return r && !n.tag.empty() ? r->id : std::string();
}

void ShowTRForm(NodeTree::Handle node)
{
    const int k = recordOf(node);
    NodeWindow* w = record(k)->obj.get();
    if (!w)
        throw std::out_of_range("record without window");
    w->Inititiate(k);
    // Inititiate lets events run: the record may have gone (the window is then unloaded,
    // not destroyed, until the job ends).
    if (w->unloaded())
        throw std::runtime_error("node removed while its window was opening");
    w->reqShow();
}

void OnNode(NodeTree::Handle node)
{
    // The children are taken first: opening a window may change the tree.
    const std::vector<NodeTree::Handle> children = tree().children(node);
    for (NodeTree::Handle c : children)
        ShowTRForm(c);
}

void DoTreeview_Select(NodeTree::Handle selected)
{
    try {
        const auto& node = tree().node(selected);
        if (node.tag == "root") {
            const std::vector<NodeTree::Handle> children = node.children;
            for (NodeTree::Handle c : children)
                OnNode(c);
        } else if (node.parent != NodeTree::None && tree().node(node.parent).tag == "root") {
            OnNode(selected);
        } else {
            const int k = recordOf(selected);
            TrRecord* rec = record(k);
            // An unsupported node's record opens its own window, never the TEDS raw view.
            const bool unsupported = familyKind(rec->family) == FamilyKind::Unsupported;
            if (!unsupported && (rec->state == TrStateNew || rec->state == TrStateNotAssigned)) {
                NodeWindow* shared = nodeWindowFactory().SharedTedsF();
                if (!shared)
                    throw std::logic_error("no shared TEDS window");
                shared->ShowUnknownTemplate();
                rec = record(k);
                if (!rec || !rec->obj)
                    throw std::runtime_error("node removed meanwhile");
                NodeWindow& w = *rec->obj;
                w.CreateNewTEDS(w, tree().node(node.parent).key);
            } else {
                ShowTRForm(selected);
            }
        }
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception&) {
        nodeHost().beep();
    }
}

bool offerNodeIdCopy(NodeTree::Handle node, const std::function<void(const std::string&)>& setClipboard)
{
    const std::string id = GetNodeID(node);
    if (id.empty())
        return false;
    if (core::MsgBox("Copy node ID: " + id + " to clipboard ?", platform::MsgYesNo) != platform::MsgYes)
        return false;
    if (setClipboard)
        setClipboard(id);
    return true;
}

} // namespace shell
