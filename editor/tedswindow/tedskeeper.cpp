#include "editor/tedswindow/tedskeeper.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/messagebox.h"
#include "platform/qt/cp1252.h"

#include <QPointer>
#include <QTimer>

namespace editor {

namespace {

std::function<TedsF*()>& orphanKeeper()
{
    static std::function<TedsF*()> keeper;
    return keeper;
}

} // namespace

void setOrphanTedsWindow(std::function<TedsF*()> keeper) { orphanKeeper() = std::move(keeper); }

bool TedsKeeper::unwritten() const { return work_.unwritten(w_.doc); }
bool TedsKeeper::unsaved() const { return work_.unsaved(w_.doc); }
void TedsKeeper::noteInSync() { work_.noteInSync(w_.doc); }
void TedsKeeper::noteKept() { work_.noteKept(w_.doc); }

bool TedsKeeper::mayReplace()
{
    const shell::NodeWindow::MemberScope asking(w_);
    w_.commitTypedRows();
    if (!unsaved())
        return true;
    // The user sees which TEDS is meant.
    w_.reqShow();
    const auto& doc = w_.doc;
    const std::string id = doc.TedsBuf.id.empty() ? std::string("without node") : doc.TedsBuf.id;
    const std::string title = doc.Title.empty() ? std::string() : " \"" + doc.Title + "\"";
    const int answer = core::MsgBox("The TEDS" + title + " (" + id +
                                        ") holds changes that were neither written to the node nor saved in a file.\r\n\r\n"
                                        "Save them in a file first?",
                                    platform::MsgYesNoCancel | platform::MsgExclamation, "Tedsmith");
    if (answer == platform::MsgYes)
        return w_.SaveTedsFile();
    return answer == platform::MsgNo;
}

void TedsKeeper::nodeGone()
{
    w_.commitTypedRows();
    if (unwritten())
        keepOrphaned();
}

bool TedsKeeper::closeKept()
{
    if (!orphan || !w_.FormLoaded)
        return false;
    // Its TEDS is nowhere else: closing lets it go only on the user's answer.
    if (mayReplace()) {
        held = false;
        noteKept();
        w_.ResetState();
        w_.hide();
    }
    return true;
}

void TedsKeeper::keepOrphaned()
{
    TedsF* home = orphanKeeper() ? orphanKeeper()() : nullptr;
    const auto& doc = w_.doc;
    const std::string id = doc.TedsBuf.id;
    if (home && home != &w_) {
        // A window of its own takes the TEDS with the user's edits, not linked to a node.
        home->keeper.orphan = true;
        home->keeper.held = true;
        home->setWindowTitle(platform::fromCp1252(" Tedsmith - TEDS - kept from " + id));
        home->ResetState();
        home->doc.TedsBuf = doc.TedsBuf;
        home->doc.TedsManufacturerId = doc.TedsManufacturerId;
        home->doc.setActualTemplate(doc.ActualTemplate());
        home->AppRomLocked = w_.AppRomLocked;
        home->doc.LinkedToNode = false;
        home->doc.TedsChanged = true;
        home->ActualNodeID = id;
        home->FormLoaded = true;
        home->FileName = w_.FileName;
        home->keeper.work_ = work_;
        home->doc.Clearfields();
        home->doc.FormatFields(doc.ActualTemplate());
        home->ShowForm();
        home->UpdateMenuState();
    }
    core::logTracewindow("Node " + id + " is gone with unwritten TEDS changes");
    // Told once the scan or job that removed the node has finished.
    QPointer<TedsF> k(home);
    QTimer::singleShot(0, [k, id] {
        // The node left the network, or the node list was dropped for a new scan.
        core::ShowMessage("The node " + id + " was dropped from the node list. Its TEDS with the changes that were not written " +
                          (k ? "is kept in a TEDS window of its own: save it with File > \"Save TEDS as\" and read it into "
                               "the node's window once the node is listed again."
                             : "is lost."));
        if (k)
            k->reqShow();
    });
}

} // namespace editor
