// TedsF: the job entry, the menus and buttons, editing and the close box.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "editor/infowindow/tedsinfof.h"
#include "editor/tedswindow/editorstate.h"
#include "platform/qt/cp1252.h"
#include "shell/jobs/jobqueue.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

namespace editor {

// --- Jobs and menus ------------------------------------------------------------------------

void TedsF::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    const MemberScope running(*this);
    switch (q.head().subno) {
    case TedsJob::ReadNode: nodeIo.readAndShow(false); break;
    case TedsJob::ReadNodeForce: nodeIo.readAndShow(true); break;
    case TedsJob::WriteNode: nodeIo.writeFromMenu(); break;
    case TedsJob::FillMemory: nodeIo.erase(); break;
    case TedsJob::ShowBuffer: nodeIo.showBufferState(); break;
    case TedsJob::DebugWrite: nodeIo.debugWrite(); break;
    default: core::MsgBox("No such job in TedsF"); break;
    }
}

void TedsF::mnuFile_Click(int index)
{
    tedsNeighbours().fileMenu(index, *this);
    UpdateMenuState();
}

void TedsF::mnuNode_Click(int index)
{
    switch (index) {
    case NodeRead:
        doc.TedsBuf.Status = core::TedsStatusNotRead;
        postJob(TedsJob::ReadNode);
        break;
    case NodeReadForce:
        doc.TedsBuf.Status = core::TedsStatusNotRead;
        postJob(TedsJob::ReadNodeForce);
        break;
    case NodeWrite:
        postJob(TedsJob::WriteNode);
        break;
    case NodeWriteLock:
        core::MsgBox("should not occoure");
        break;
    case NodeGetId:
        doc.TedsBuf.id = ActualNodeID;
        doc.setNodeIdText(ActualNodeID);
        syncDocument();
        break;
    case NodeFill:
        if (core::MsgBox("Are you sure that you want to fill the memory with FF ?", platform::MsgOkCancel) == platform::MsgOK)
            postJob(TedsJob::FillMemory);
        break;
    default:
        break;
    }
    parkFocus();
}

void TedsF::mnuTemplate_Click(int index)
{
    auto& q = shell::jobQueue();
    switch (index) {
    case TemplateReadOnly: {
        auto& item = menus.mnuTemplate[TemplateReadOnly];
        item.checked = !item.checked;
        SetLockState(item.checked ? LockReadOnly : LockEditing);
        break;
    }
    case TemplateShowDescription: {
        const bool on = !menus.mnuTemplate[TemplateShowDescription].checked;
        menus.setDescription(on);
        SetLockState(on ? LockDescriptions : menus.mnuTemplate[TemplateReadOnly].checked ? LockReadOnly : LockEditing);
        platform::processEvents();
        doc.SwopToolTips();
        syncDocument();
        break;
    }
    case TemplateTransfer: {
        TransferFunction w(this);
        const auto& lib = core::tdlState();
        const int t = doc.ActualTemplate();
        if (t >= 0 && t < static_cast<int>(lib.Templates.size()))
            w.Title->setText(platform::fromCp1252(lib.Templates[static_cast<std::size_t>(t)].name));
        w.NodeID->setText(platform::fromCp1252(ActualNodeID));
        q.TimeoutJobQue();
        runModal(w);
        q.StartJobQue();
        break;
    }
    case TemplateInfo:
        UpdateInfo();
        break;
    case TemplateNew: {
        if (!mayReplaceTeds())
            break;
        ResetState();
        q.TimeoutJobQue();
        const bool got = tedsNeighbours().runTemplateDialog(0, *this);
        q.StartJobQue();
        if (got)
            noteKept();
        doc.TedsChanged = true;
        break;
    }
    case TemplateRemap:
        q.TimeoutJobQue();
        tedsNeighbours().runTemplateDialog(1, *this);
        q.StartJobQue();
        ResetState();
        doc.TedsChanged = true;
        break;
    default:
        break;
    }
    UpdateMenuState();
}

void TedsF::DoDebug_Click()
{
    core::Tracewindow("Linked to a note is " + boolean_txt(doc.LinkedToNode));
    core::Tracewindow("TedsF_loaded is " + boolean_txt(core::coreState().TedsF_loaded));
    core::Tracewindow("FormLoaded is " + boolean_txt(FormLoaded));
    core::Tracewindow("TedsBuf.id is " + doc.TedsBuf.id);
    core::Tracewindow("ActualNodeID is " + ActualNodeID);
    core::Tracewindow("");
    tedsNeighbours().showTraceWindow();
    parkFocus();
}

void TedsF::CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText, bool notLinkedToNode)
{
    if (!mayReplaceTeds())
        return;
    nodeObject = &obj;
    doc.TedsBuf.id = idText.rfind("id", 0) == 0 ? idText.substr(2) : idText;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    const bool got = tedsNeighbours().runTemplateDialog(0, *this);
    q.StartJobQue();
    if (got) {
        // A new empty TEDS can be made again: nothing to lose yet.
        noteKept();
        reqShow();
    }
    if (notLinkedToNode)
        core::coreState().TedsF_loaded = true;
    UpdateMenuState();
}

// --- Editing and closing -------------------------------------------------------------------

bool TedsF::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (int k = 0; k < kRowCount; ++k)
            if (watched == Col2[k]) {
                Col2_LostFocus(k);
                break;
            }
    return QMainWindow::eventFilter(watched, event);
}

void TedsF::Col2_LostFocus(int k)
{
    if (syncing_ || k < 0 || k >= kRowCount)
        return;
    const std::string typed = platform::toCp1252(Col2[k]->text());
    // A message box of a running pass takes the focus: that starts no second pass.
    if (committing_) {
        if (!doc.descriptionView())
            doc.setRowValue(k, typed);
        return;
    }
    if (doc.descriptionView())
        return;
    committing_ = true;
    const MemberScope running(*this);
    doc.commitRow(k, typed);
    committing_ = false;
    syncDocument();
}

void TedsF::closeEvent(QCloseEvent* e)
{
    Form_QueryUnload(0);
    e->ignore();
}

void TedsF::Form_QueryUnload(int unloadMode)
{
    if (keptOrphan && FormLoaded) {
        // Its TEDS is nowhere else: closing lets it go only on the user's answer.
        if (!mayReplaceTeds())
            return;
        keptHeld = false;
        noteKept();
        ResetState();
        hide();
        return;
    }
    if (FormLoaded) {
        if (!doc.LinkedToNode)
            core::coreState().TedsF_loaded = false;
        ResetState();
        hide();
    }
    (void)unloadMode;
}

} // namespace editor
