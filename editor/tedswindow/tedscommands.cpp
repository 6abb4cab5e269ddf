#include "editor/tedswindow/tedscommands.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/teds/nodelistimage.h"
#include "editor/model/tedsdocument.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <algorithm>

namespace editor {

void TedsCommands::fileMenu(int index)
{
    view_.fileMenu(index);
    UpdateMenuState();
}

void TedsCommands::nodeMenu(int index)
{
    switch (index) {
    case NodeRead:
        doc_.TedsBuf.Status = core::TedsStatusNotRead;
        view_.postJob(TedsJob::ReadNode);
        break;
    case NodeReadForce:
        doc_.TedsBuf.Status = core::TedsStatusNotRead;
        view_.postJob(TedsJob::ReadNodeForce);
        break;
    case NodeWrite:
        view_.postJob(TedsJob::WriteNode);
        break;
    case NodeWriteLock:
        core::MsgBox("should not occoure");
        break;
    case NodeGetId:
        doc_.TedsBuf.id = doc_.ActualNodeID;
        doc_.setNodeIdText(doc_.ActualNodeID);
        view_.syncDocument();
        break;
    case NodeFill:
        if (core::MsgBox("Are you sure that you want to fill the memory with FF ?", platform::MsgOkCancel) == platform::MsgOK)
            view_.postJob(TedsJob::FillMemory);
        break;
    default:
        break;
    }
    view_.parkFocus();
}

void TedsCommands::templateMenu(int index)
{
    auto& q = shell::jobQueue();
    switch (index) {
    case TemplateReadOnly: {
        auto& item = menus_.mnuTemplate[TemplateReadOnly];
        item.checked = !item.checked;
        SetLockState(item.checked ? LockReadOnly : LockEditing);
        break;
    }
    case TemplateShowDescription: {
        const bool on = !menus_.mnuTemplate[TemplateShowDescription].checked;
        menus_.setDescription(on);
        SetLockState(on ? LockDescriptions : menus_.mnuTemplate[TemplateReadOnly].checked ? LockReadOnly : LockEditing);
        platform::processEvents();
        doc_.SwopToolTips();
        view_.syncDocument();
        break;
    }
    case TemplateTransfer:
        view_.showTransferFunction();
        break;
    case TemplateInfo:
        view_.UpdateInfo();
        break;
    case TemplateNew: {
        if (!view_.mayReplaceTeds())
            break;
        ResetState();
        q.TimeoutJobQue();
        const bool got = view_.runTemplateDialog(0);
        q.StartJobQue();
        if (got)
            view_.noteKept();
        doc_.TedsChanged = true;
        break;
    }
    case TemplateRemap:
        q.TimeoutJobQue();
        view_.runTemplateDialog(1);
        q.StartJobQue();
        ResetState();
        doc_.TedsChanged = true;
        break;
    default:
        break;
    }
    UpdateMenuState();
}

void TedsCommands::UpdateMenuState()
{
    menus_.UpdateMenuState(doc_.LinkedToNode, core::traceOn());
    view_.syncMenus();
}

void TedsCommands::SetLockState(int state)
{
    doc_.SetLockState(state);
    view_.syncDocument();
}

void TedsCommands::ResetState()
{
    const bool describing = menus_.mnuTemplate[TemplateShowDescription].checked;
    menus_.reset();
    if (describing || doc_.descriptionView())
        doc_.SwopToolTips();
    SetLockState(LockReadOnly);
    view_.syncMenus();
}

void TedsCommands::ShowForm()
{
    help_ = 13;
    const Display d = doc_.ShowForm();
    if (d == Display::NodeList)
        help_ = 42;
    else if (d == Display::Grid)
        help_ = 36;
    view_.syncDocument();
}

void TedsCommands::ShowNodeList()
{
    menus_.hideForNodeList();
    view_.syncMenus();
    core::BytesToBits(doc_.TedsBuf);
    const core::DecodedNodeList list = core::decodeNodeList(doc_.TedsBuf.Bytes, doc_.TedsBuf.Size, kRowCount - 1);
    const int count = list.count;

    shell::NodeTree::Handle h = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(doc_.TedsBuf.id, h, found);
    auto& tree = shell::nodesState().tree;
    if (found && tree.exists(h) && tree.node(h).parent != shell::NodeTree::None)
        doc_.Title = tree.node(tree.node(h).parent).text + " (Nodelist)";
    else
        doc_.Title = "Node lost";

    // This window's own pseudo template: the library's spare entry is shared by all.
    const int shownIds = static_cast<int>(list.ids.size());
    nodeListTemplate = core::TemplateRecord{};
    nodeListTemplate.name = doc_.Title;
    nodeListTemplate.fieldLast = shownIds;
    nodeListTemplate.selectorLast = -1;
    nodeListTemplate.groupLast = -1;
    nodeListTemplate.abstractCount = 0;
    // The bits the image holds: the header and 64 per listed node.
    nodeListTemplate.lengthBits = 24 + 64 * shownIds;
    for (int f = 0; f <= shownIds && f < core::kFieldsMax; ++f)
        nodeListTemplate.fields[static_cast<std::size_t>(f)].access = 3;

    for (auto& r : doc_.rows)
        r = TedsRow{};
    doc_.rows[0].caption = "No. of nodes in transducer";
    doc_.rows[0].value = std::to_string(count);
    doc_.rows[0].visible = true;
    for (int i = 1; i <= shownIds; ++i) {
        auto& r = doc_.rows[static_cast<std::size_t>(i)];
        r.caption = "Node no. " + std::to_string(i + 1) + ",  Node ID:";
        r.value = list.ids[static_cast<std::size_t>(i - 1)];
        r.visible = true;
    }
    doc_.setNodeIdText(doc_.TedsBuf.id);
    doc_.NodeIdTooltip = "Nodelist's node ID";
    doc_.NodeIdLocked = true;
    doc_.CrcCaption = doc_.TedsBuf.Status == core::TedsStatusCrcError ? "Failed" : "OK";
    view_.syncDocument();
    if (list.truncated)
        core::ShowMessage("The node list names " + std::to_string(std::max(count - 1, 0)) + " further nodes; " +
                          std::to_string(shownIds) + " are shown.");
}

void TedsCommands::newTedsFor(const std::string& idText, bool notLinkedToNode)
{
    doc_.TedsBuf.id = idText.rfind("id", 0) == 0 ? idText.substr(2) : idText;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    const bool got = view_.runTemplateDialog(0);
    q.StartJobQue();
    if (got) {
        // A new empty TEDS can be made again: nothing to lose yet.
        view_.noteKept();
        view_.reqShow();
    }
    if (notLinkedToNode)
        core::coreState().TedsF_loaded = true;
    UpdateMenuState();
}

} // namespace editor
