// TedsF: the jobs, the dialogs and the raw memory view.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/memoryfile.h"
#include "editor/infowindow/tedsinfof.h"
#include "editor/model/fulltedslisting.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/memorytexts.h"
#include "platform/qt/cp1252.h"
#include "shell/jobs/jobqueue.h"

#include <QLabel>
#include <QLineEdit>

namespace editor {

void TedsF::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    const MemberScope running(*this);
    nodeIo.runJob(q.head().subno);
}

void TedsF::CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText, bool notLinkedToNode)
{
    if (!mayReplaceTeds())
        return;
    nodeObject = &obj;
    commands.newTedsFor(idText, notLinkedToNode);
}

void TedsF::fileMenu(int item) { tedsNeighbours().fileMenu(item, *this); }

bool TedsF::runTemplateDialog(int mode) { return tedsNeighbours().runTemplateDialog(mode, *this); }

void TedsF::showTransferFunction()
{
    TransferFunction w(this);
    const auto& lib = core::tdlState();
    const int t = doc.ActualTemplate();
    if (t >= 0 && t < static_cast<int>(lib.Templates.size()))
        w.Title->setText(platform::fromCp1252(lib.Templates[static_cast<std::size_t>(t)].name));
    w.NodeID->setText(platform::fromCp1252(ActualNodeID));
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    runModal(w);
    q.StartJobQue();
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

void TedsF::ShowUnknownTemplate()
{
    const MemberScope running(*this);
    core::TedsBuf copy;
    bool locked = AppRomLocked;
    if (doc.TedsBuf.Size < 1) {
        copy = editorState().LastTedsBuf;
        locked = editorState().LastTedsRomLocked;
    } else {
        doc.updatebuf();
        syncDocument();
        copy = doc.TedsBuf;
    }
    const RawViewHeader h = rawViewHeader(copy.Family, copy.DraftLayout, locked);
    core::MemoryDumpText(h.text, copy, h.bitCount, h.withRom);
}

void TedsF::UpdateInfo()
{
    TedsInfoF info(this);
    info.fill(tedsInfoFor(doc.ActualTemplate(), ActualNodeID, platform::toCp1252(info.Note->text())));
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    runModal(info);
    q.StartJobQue();
}

std::vector<std::string> TedsF::appendFullTEDS(bool prefix) { return editor::appendFullTEDS(doc, prefix); }

} // namespace editor
