#pragma once
// The TEDS window's File, Node and Template menus as plain state: captions, shown or
// hidden, greyed or not, checked. The window shows this state; the rules that change it
// (binding, reading, the node-list display, the description view) work on it alone.

#include "shell/iface/menuitemstate.h"

#include <array>

namespace editor {

using shell::MenuItemState;

// Node menu items.
enum NodeItem : int {
    NodeRead = 0, NodeReadForce = 1, NodeWrite = 2, NodeWriteLock = 3, NodeGetId = 4, NodeFill = 5,
};
// Template menu items.
enum TemplateItem : int {
    TemplateReadOnly = 0, TemplateShowDescription = 1, TemplateTransfer = 2, TemplateInfo = 3,
    TemplateNew = 4, TemplateRemap = 5,
};

struct TedsMenus {
    TedsMenus();

    std::array<MenuItemState, 5> mnuFile;      // item 2 is a separator
    std::array<MenuItemState, 6> mnuNode;
    std::array<MenuItemState, 6> mnuTemplate;
    bool fileVisible = true;
    bool nodeVisible = true;
    bool templateVisible = true;
    bool doDebugVisible = false;               // the "update debug window" button

    // Form_Load: the transfer function hidden, "Read only mode" and "Get actual Node ID"
    // greyed, the debug button hidden.
    void load();
    // UpdateMenuState for a window bound (or not) to a node, with the trace on or off.
    void UpdateMenuState(bool linkedToNode, bool traceOn);
    // ResetState's menu part: every menu shown, "Read only mode" checked and enabled,
    // "Show Description" unchecked.
    void reset();
    // A node list is on show: the File and Template menus go; the Node menu keeps only
    // its item 5 when that is shown, else it goes too.
    void hideForNodeList();
    // "Show Description" toggled: the new check, and "Read only mode" greyed while on.
    void setDescription(bool on);
};

} // namespace editor
