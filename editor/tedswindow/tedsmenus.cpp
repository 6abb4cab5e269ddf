#include "editor/tedswindow/tedsmenus.h"

namespace editor {

namespace {

MenuItemState item(const char* caption)
{
    MenuItemState s;
    s.caption = caption;
    return s;
}

} // namespace

TedsMenus::TedsMenus()
    : mnuFile{item("Read TEDS"), item("Save TEDS as"), item("-"), item("Print TEDS"), item("Save TEDS as rtf document")},
      mnuNode{item("Read node"), item("Read node (force rom read)"), item("Write node"),
              item("not in use:  Write and lock ROM (page 0)"), item("Get actual Node ID"),
              item("Fill node with FF (EE-PROM)")},
      mnuTemplate{item("Read only mode"), item("Show Description"), item("Show Transfere function"),
                  item("Information"), item("New TEDS template"), item("Remap TEDS")}
{
}

void TedsMenus::load()
{
    mnuTemplate[TemplateTransfer].visible = false;
    doDebugVisible = false;
    mnuTemplate[TemplateReadOnly].enabled = false;
    mnuNode[NodeGetId].enabled = false;
}

void TedsMenus::UpdateMenuState(bool linkedToNode, bool traceOn)
{
    nodeVisible = linkedToNode;
    if (linkedToNode)
        for (auto& i : mnuNode)
            i.visible = true;
    mnuTemplate[TemplateReadOnly].enabled = !mnuTemplate[TemplateShowDescription].checked;
    mnuNode[NodeGetId].enabled = true;
    mnuNode[NodeGetId].visible = linkedToNode;
    mnuNode[NodeReadForce].visible = false;
    mnuNode[NodeWriteLock].visible = false;
    mnuNode[NodeFill].visible = true;
    mnuNode[NodeWrite].enabled = true;
    doDebugVisible = traceOn;
}

void TedsMenus::reset()
{
    fileVisible = nodeVisible = templateVisible = true;
    mnuTemplate[TemplateReadOnly].checked = true;
    mnuTemplate[TemplateReadOnly].enabled = true;
    mnuTemplate[TemplateShowDescription].checked = false;
}

void TedsMenus::hideForNodeList()
{
    fileVisible = false;
    if (mnuNode[NodeFill].visible) {
        for (int i = NodeRead; i <= NodeGetId; ++i)
            mnuNode[static_cast<std::size_t>(i)].visible = false;
    } else {
        nodeVisible = false;
    }
    templateVisible = false;
}

void TedsMenus::setDescription(bool on)
{
    mnuTemplate[TemplateShowDescription].checked = on;
    mnuTemplate[TemplateReadOnly].enabled = !on;
}

} // namespace editor
