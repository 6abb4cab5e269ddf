#pragma once
// From the node tree to the node windows. A left click remembers the node and posts the
// main window's job 3; the job opens the clicked record's window, or the windows of every
// record under a clicked id node or top-level node; a memory record without a TEDS
// starts the create dialog of its TEDS window instead. A right click offers the node's
// id for the clipboard.

#include "shell/nodes/nodetree.h"

#include <functional>
#include <string>

namespace shell {

// "" for a top-level node; else the id of the record its Tag names ("" when none).
std::string GetNodeID(NodeTree::Handle node);

// Inititiate and reqShow on the window of the record node's record. Throws when the
// node or its record is gone or the window lacks a member.
void ShowTRForm(NodeTree::Handle node);
// ShowTRForm for every child of node, first to last.
void OnNode(NodeTree::Handle node);

// Job 3 on the selected node. Any failure (a node removed meanwhile, a window without
// the member) ends the job with one beep; windows opened before stay open.
void DoTreeview_Select(NodeTree::Handle selected);

// Right click: "Copy node ID: <id> to clipboard ?" (Yes/No, a plain box); Yes hands the id
// to setClipboard. Nothing for a node without an id. True when copied.
bool offerNodeIdCopy(NodeTree::Handle node, const std::function<void(const std::string&)>& setClipboard);

} // namespace shell
