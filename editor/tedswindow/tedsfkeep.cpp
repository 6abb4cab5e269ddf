// TedsF: unwritten work. A TEDS whose changes exist nowhere else is never replaced or let
// go without the user's answer, and a node that goes with unwritten changes leaves its
// TEDS in a window of its own, which nothing else loads into.

#include "editor/tedswindow/tedsf.h"

#include "core/base/message.h"
#include "core/base/trace.h"
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

void TedsF::commitTypedRows()
{
    // Text typed into a value box that still has the focus is part of the work.
    if (!doc.TedsShown || doc.TedsManufacturerId == 1 || doc.descriptionView() || committing_ || syncing_)
        return;
    committing_ = true;
    doc.updatebuf();
    committing_ = false;
    syncDocument();
}

bool TedsF::mayReplaceTeds()
{
    const MemberScope asking(*this);
    commitTypedRows();
    if (!holdsUnsavedChanges())
        return true;
    // The user sees which TEDS is meant.
    reqShow();
    const std::string id = doc.TedsBuf.id.empty() ? std::string("without node") : doc.TedsBuf.id;
    const std::string title = doc.Title.empty() ? std::string() : " \"" + doc.Title + "\"";
    const int answer = core::MsgBox("The TEDS" + title + " (" + id +
                                        ") holds changes that were neither written to the node nor saved in a file.\r\n\r\n"
                                        "Save them in a file first?",
                                    platform::MsgYesNoCancel | platform::MsgExclamation, "Tedsmith");
    if (answer == platform::MsgYes)
        return SaveTedsFile();
    return answer == platform::MsgNo;
}

void TedsF::onUnload()
{
    commitTypedRows();
    if (hasUnwrittenChanges())
        keepOrphanedTeds();
    hide();
}

void TedsF::keepOrphanedTeds()
{
    TedsF* keeper = orphanKeeper() ? orphanKeeper()() : nullptr;
    const std::string id = doc.TedsBuf.id;
    if (keeper && keeper != this) {
        // A window of its own takes the TEDS with the user's edits, not linked to a node.
        keeper->keptOrphan = true;
        keeper->keptHeld = true;
        keeper->setWindowTitle(platform::fromCp1252(" Tedsmith - TEDS - kept from " + id));
        keeper->ResetState();
        keeper->doc.TedsBuf = doc.TedsBuf;
        keeper->doc.TedsManufacturerId = doc.TedsManufacturerId;
        keeper->doc.setActualTemplate(doc.ActualTemplate());
        keeper->AppRomLocked = AppRomLocked;
        keeper->doc.LinkedToNode = false;
        keeper->doc.TedsChanged = true;
        keeper->ActualNodeID = id;
        keeper->FormLoaded = true;
        keeper->FileName = FileName;
        keeper->unwritten_ = unwritten_;
        keeper->doc.Clearfields();
        keeper->doc.FormatFields(doc.ActualTemplate());
        keeper->ShowForm();
        keeper->UpdateMenuState();
    }
    core::logTracewindow("Node " + id + " is gone with unwritten TEDS changes");
    // Told once the scan or job that removed the node has finished.
    QPointer<TedsF> k(keeper);
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
