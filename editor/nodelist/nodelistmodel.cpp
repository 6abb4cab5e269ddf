// NodeListF: list editing, the control events and the jobs.

#include "editor/nodelist/nodelistmodel.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"

#include <utility>

namespace editor {

namespace {

std::function<NodeListModel*()>& provider()
{
    static std::function<NodeListModel*()> p;
    return p;
}

// Pasted text loses the blanks and line ends around it.
std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool adaptorNode(const std::string& id)
{
    const auto& c = core::coreState();
    return id == c.SwitchNodeId || id == c.AdapterId9097U || id == c.AdapterId9490R;
}

} // namespace

void setNodeListProvider(std::function<NodeListModel*()> p) { provider() = std::move(p); }

NodeListModel* nodeListF() { return provider() ? provider()() : nullptr; }

NodeListModel::NodeListModel(NodeListView* view) : view_(view ? view : &noView_) {}

NodeListModel::~NodeListModel() { detachFromQueue(); }

void NodeListModel::focusAway()
{
    if (view_->windowVisible())
        view_->parkFocus();
}

void NodeListModel::Form_Load()
{
    ieee_version = 0;
    OldIeeeLayout = true;
    HelpContextID = kHelpTopic;
    DragIndex = -1;
    changed();
}

void NodeListModel::LogActivity(const std::string& text)
{
    activityLog += "\r\n" + text;
    changed();
}

void NodeListModel::queue(NodeListJob job)
{
    auto& q = shell::jobQueue();
    q.Insert_In_JobQue(*this, NodeListJob::RescanNodes, 0LL);
    q.Insert_In_JobQue(*this, job, 0LL);
    focusAway();
}

std::vector<std::string> NodeListModel::networkDevices()
{
    std::vector<std::string> ids;
    for (const shell::TrRecord& r : shell::nodesState().TrList)
        if (r.aging && !adaptorNode(r.id))
            ids.push_back(r.id);
    return ids;
}

// --- public procedures -----------------------------------------------------------------

void NodeListModel::UpdateNodes()
{
    shell::removeAllTransducers();
    shell::scanUntilPassEnds();
}

void NodeListModel::AddNodes()
{
    for (const auto& id : networkDevices())
        ID_list.push_back(id);
    changed();
}

void NodeListModel::ReadNodes()
{
    ID_list.clear();
    ListIndex = -1;
    AddNodes();
}

void NodeListModel::ClearNodeList()
{
    ID_list.clear();
    ListIndex = -1;
    changed();
}

void NodeListModel::addNode(const std::string& id)
{
    ID_list.push_back(id);
    changed();
}

// --- jobs ----------------------------------------------------------------------------------

void NodeListModel::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    switch (q.head().subno) {
    case NodeListJob::WriteListDevice:
        job0();
        break;
    case NodeListJob::RescanNodes:
        UpdateNodes();
        break;
    case NodeListJob::AddScannedNodes:
        AddNodes();
        break;
    case NodeListJob::ReadListNodes:
        ReadNodes();
        break;
    case NodeListJob::ListForRequest:
        if (listNodelist)
            listNodelist();
        break;
    case NodeListJob::RemoveRequestAck:
        if (Kill_ackFile)
            Kill_ackFile();
        break;
    default:
        core::ShowMessage("Error: No such job in NodelistF", platform::MsgOkOnly, "");
        break;
    }
}

void NodeListModel::job0()
{
    const auto devices = networkDevices();
    if (devices.size() == 1) {
        DO_PrgDevice(devices.front());
        return;
    }
    // The log keeps why nothing was written; the box may have gone unseen.
    const std::string why = devices.empty() ? "Error: No device present on the microLAN"
                                            : "Error: More than one device present on the microLAN";
    core::ShowMessage(why, platform::MsgOkOnly, "");
    LogActivity(why);
}

// --- control events ----------------------------------------------------------------------

void NodeListModel::ieee_version_Click(int index)
{
    ieee_version = index;
    OldIeeeLayout = index == 0;
    focusAway();
    changed();
}

void NodeListModel::PrgDevice_Click() { queue(NodeListJob::WriteListDevice); }
void NodeListModel::CbAddNodes_Click() { queue(NodeListJob::AddScannedNodes); }
void NodeListModel::ReadList_Click() { queue(NodeListJob::ReadListNodes); }

void NodeListModel::ClearList_Click()
{
    ClearNodeList();
    focusAway();
}

void NodeListModel::cbClearLog_Click()
{
    activityLog.clear();
    changed();
}

void NodeListModel::removeEntry(int k)
{
    if (k < 0 || k >= static_cast<int>(ID_list.size()))
        return;
    ID_list.erase(ID_list.begin() + k);
}

void NodeListModel::insertEntry(const std::string& text)
{
    if (ListIndex >= 0 && ListIndex < static_cast<int>(ID_list.size()))
        ID_list.insert(ID_list.begin() + ListIndex, text);
    else
        ID_list.push_back(text);
}

void NodeListModel::ID_list_DblClick()
{
    if (ListIndex < 0 || ListIndex >= static_cast<int>(ID_list.size()))
        return;
    if (core::MsgBox("Remove from list ?", platform::MsgYesNo, "") != platform::MsgYes)
        return;
    removeEntry(ListIndex);
    ListIndex = -1;
    changed();
}

void NodeListModel::ID_list_MouseDown() { DragIndex = ListIndex; }

void NodeListModel::ID_list_MouseMove(int p)
{
    if (DragIndex < 0 || p < 0 || p == DragIndex || p >= static_cast<int>(ID_list.size()) ||
        DragIndex >= static_cast<int>(ID_list.size()))
        return;
    // The dragged text follows the pointer.
    std::swap(ID_list[static_cast<std::size_t>(DragIndex)], ID_list[static_cast<std::size_t>(p)]);
    DragIndex = p;
    ListIndex = p;
    changed();
}

void NodeListModel::ID_list_MouseUp() { DragIndex = -1; }

void NodeListModel::ID_list_KeyDown(int keyCode, int shift)
{
    const bool ctrl = (shift & ShiftCtrl) != 0;
    const bool selected = ListIndex >= 0 && ListIndex < static_cast<int>(ID_list.size());
    if ((ctrl && keyCode == KeyV) || keyCode == KeyInsert) {
        insertEntry(trimmed(view_->clipboardText()));
    } else if (keyCode == KeyDelete || keyCode == KeyBack) {
        if (!selected)
            return;
        removeEntry(ListIndex);
        if (ListIndex >= static_cast<int>(ID_list.size()))
            ListIndex = -1;
    } else if (ctrl && keyCode == KeyX) {
        if (!selected)
            return;
        view_->setClipboardText(ID_list[static_cast<std::size_t>(ListIndex)]);
        removeEntry(ListIndex);
        ListIndex = -1;
    } else if (ctrl && keyCode == KeyC) {
        if (selected)
            view_->setClipboardText(ID_list[static_cast<std::size_t>(ListIndex)]);
        return;
    } else {
        return;
    }
    changed();
}

} // namespace editor
