#include "editor/tedswindow/tedsnodeio.h"


#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/drivers/dualswitch.h"
#include "device/drivers/memorynode.h"
#include "device/memimage/familytable.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/memorytexts.h"
#include "editor/tedswindow/tedsf.h"
#include "shell/iface/ifacestate.h"
#include "shell/nodes/nodelist.h"

namespace editor {

namespace {

bool analogThroughAdapter()
{
    return device::deviceState().InterfaceType == device::InterfaceType::Adapter && shell::ifaceState().CommMode == shell::kModeAnalog;
}

} // namespace

void TedsNodeIo::runJob(int job)
{
    switch (job) {
    case TedsJob::ReadNode: readAndShow(false); break;
    case TedsJob::ReadNodeForce: readAndShow(true); break;
    case TedsJob::WriteNode: writeFromMenu(); break;
    case TedsJob::FillMemory: erase(); break;
    case TedsJob::ShowBuffer: showBufferState(); break;
    case TedsJob::DebugWrite: debugWrite(); break;
    default: core::MsgBox("No such job in TedsF"); break;
    }
}

void TedsNodeIo::readOnce(bool ForceRomRead)
{
    const shell::NodeWindow::MemberScope reading(w_);
    device::Read_Node(w_.doc.TedsBuf, ForceRomRead);
    // The register lock belongs to this node's TEDS, not to whichever DS2430A was read last.
    w_.AppRomLocked = device::hasAppRegister(w_.doc.TedsBuf.Family) && device::deviceState().AppRomLocked;
    if (w_.doc.TedsBuf.Status == core::TedsStatusReadOk || w_.doc.TedsBuf.Status == core::TedsStatusCrcError ||
        w_.doc.TedsBuf.Status == core::TedsStatusVirgin)
        w_.noteInSync();
}

void TedsNodeIo::readWithRetry(bool ForceRomRead)
{
    const shell::NodeWindow::MemberScope reading(w_);
    w_.parkFocus();
    if (!w_.binding.nodeListed())
        return;
    w_.doc.TedsBuf.Status = core::TedsStatusNotRead;
    const std::string switchNode = core::coreState().SwitchNodeId;
    if (analogThroughAdapter())
        device::Set_PIO_fam12(switchNode, true, false);
    platform::processEvents();
    core::Delay(50);
    int counter = 1;
    int limit = device::deviceState().InterfaceType == device::InterfaceType::Adapter ? 3 : 2;
    if (!tedsNeighbours().mainWindowVisible())
        limit = 2;
    while (w_.doc.TedsBuf.Status != core::TedsStatusReadOk && counter <= limit) {
        readOnce(ForceRomRead);
        if (const int tries = device::familyInfo(w_.doc.TedsBuf.Family).readTries; tries > 0)
            limit = tries;
        const std::string line = bufferStateTraceLine(w_.doc.TedsBuf.Status);
        if (!line.empty())
            core::Tracewindow(line);
        if (w_.doc.TedsBuf.Status != core::TedsStatusReadOk && counter <= limit) {
            core::Tracewindow("Read retry count: " + std::to_string(counter));
            core::Delay(100);
            if (device::deviceState().InterfaceType == device::InterfaceType::Adapter && counter > 1)
                core::Delay(100 * counter);
            else
                core::Delay(100);
        }
        ++counter;
    }
    if (analogThroughAdapter())
        device::Set_PIO_fam12(switchNode, false, false);
    w_.ActualNodeID = w_.doc.TedsBuf.id;
    w_.ResetState();
}

void TedsNodeIo::readAndShow(bool ForceRomRead)
{
    const shell::NodeWindow::MemberScope running(w_);
    w_.doc.TedsBuf.id = w_.ActualNodeID;
    readWithRetry(ForceRomRead);
    w_.doc.TedsChanged = false;
    w_.UpdateMenuState();
    switch (w_.doc.TedsBuf.Status) {
    case core::TedsStatusReadOk:
    case core::TedsStatusCrcError:
        w_.doc.Clearfields();
        if (w_.binding.matchTemplate()) {
            w_.binding.storeSelector();
            w_.ShowForm();
            w_.reqShow();
        } else {
            editorState().LastTedsBuf = w_.doc.TedsBuf;
            editorState().LastTedsRomLocked = w_.AppRomLocked;
            w_.ShowUnknownTemplate();
        }
        return;
    case core::TedsStatusNotRead:
        core::ShowMessage("Node ID not found on the microLAN");
        break;
    case core::TedsStatusReadError:
        core::ShowMessage("error reading node");
        break;
    case core::TedsStatusVirgin:
        core::ShowMessage("node contains FF's indicating never used ");
        break;
    default:
        break;
    }
    w_.reqShow();
}

void TedsNodeIo::showBufferState()
{
    readOnce(false);
    core::ShowMessage(bufferStateText(w_.doc.TedsBuf.Status), platform::MsgOkOnly, "");
}

void TedsNodeIo::writeFromMenu()
{
    const shell::NodeWindow::MemberScope running(w_);
    w_.doc.updatebuf();
    w_.syncDocument();
    if (!w_.binding.nodeListed()) {
        core::ShowMessage("Node ID not found on the microLAN");
        return;
    }
    bool confirmed = false;
    if (!device::Write_Node(w_.doc.TedsBuf, confirmed)) {
        // The edits stay in the window for another try.
        core::ShowMessage("Writing not succeded");
        return;
    }
    // Written and verified: a new template or a remap is no unwritten work any more.
    w_.doc.TedsChanged = false;
    w_.noteInSync();
    afterWriteOrErase();
}

bool TedsNodeIo::writeForRequest(std::string* why)
{
    const shell::NodeWindow::MemberScope running(w_);
    const auto problems = w_.doc.updatebuf();
    w_.syncDocument();
    // A request's value that the field cannot hold as given: nothing is written.
    if (core::MessagesSuppressed() && !problems.empty()) {
        if (why) {
            const auto& p = problems.front();
            *why = "field \"" + w_.doc.rows[static_cast<std::size_t>(p.row)].caption + "\": " + p.result.reason +
                   ", nothing written";
        }
        return false;
    }
    if (!w_.binding.nodeListed()) {
        if (why)
            *why = "node " + w_.doc.TedsBuf.id + " not found on the microLAN, nothing written";
        return false;
    }
    bool confirmed = tedsNeighbours().allowRomProgramming();
    device::WriteReport report;
    if (!device::Write_Node(w_.doc.TedsBuf, confirmed, &report)) {
        if (why)
            *why = device::failedWriteText(report);
        return false;
    }
    w_.doc.TedsChanged = false;
    w_.noteInSync();
    const std::string id = w_.doc.TedsBuf.id;
    w_.FormLoaded = false;
    shell::Remove_transducer(id);
    return true;
}

void TedsNodeIo::erase()
{
    const shell::NodeWindow::MemberScope running(w_);
    if (!device::Erase_Node(w_.doc.TedsBuf))
        return;
    // The memory now holds FFh: what the window shows is no longer unwritten work.
    w_.doc.TedsChanged = false;
    w_.noteInSync();
    afterWriteOrErase();
}

void TedsNodeIo::afterWriteOrErase()
{
    const std::string id = w_.doc.TedsBuf.id;
    w_.FormLoaded = false;
    // Removes this window's own record: the window is unloaded now and destroyed once
    // the job has returned; the next scan finds the node as new.
    shell::Remove_transducer(id);
    if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink)
        tedsNeighbours().reselectAmplifierNode();
}

bool TedsNodeIo::deleteForRequest()
{
    const shell::NodeWindow::MemberScope running(w_);
    auto& n = tedsNeighbours();
    w_.doc.TedsBuf.Family = n.requestFamily();
    const int f = w_.doc.TedsBuf.Family;
    if (!device::familyInfo(f).erasable) {
        n.requestReport("Error: Only DS2430, DS2431 and DS2433 is supported for this command (Delete_memory)");
        return false;
    }
    w_.doc.TedsBuf.id = w_.ActualNodeID;
    if (w_.doc.TedsBuf.id.empty()) {
        n.requestReport("Error: Node ID is missing (Delete_memory)");
        return false;
    }
    const bool erased = device::Erase_Node(w_.doc.TedsBuf);
    while (shell::TrLast() >= 0)
        shell::Remove_transducer(shell::record(shell::TrLast())->id);
    return erased;
}

void TedsNodeIo::debugWrite()
{
    const shell::NodeWindow::MemberScope running(w_);
    for (int i = 1; i <= w_.doc.TedsBuf.Size && i < static_cast<int>(w_.doc.TedsBuf.Bytes.size()); ++i)
        w_.doc.TedsBuf.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < 256 ? i : i - 255);
    core::BytesToBits(w_.doc.TedsBuf);
    bool confirmed = false;
    const bool ok = device::Write_Node(w_.doc.TedsBuf, confirmed);
    if (ok)
        w_.noteInSync();
    core::MsgBox(w_.boolean_txt(ok));
}

} // namespace editor
