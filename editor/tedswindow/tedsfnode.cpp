// TedsF: reading, writing and erasing the node.

#include "device/memimage/familytable.h"
#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/drivers/dualswitch.h"
#include "device/drivers/memorynode.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/memorytexts.h"
#include "shell/iface/ifacestate.h"
#include "shell/nodes/nodelist.h"

namespace editor {

namespace {

bool analogThroughAdapter()
{
    return device::deviceState().InterfaceType == device::InterfaceType::Adapter && shell::ifaceState().CommMode == shell::kModeAnalog;
}

} // namespace

void TedsF::readOnce(bool ForceRomRead)
{
    const MemberScope reading(*this);
    device::Read_Node(doc.TedsBuf, ForceRomRead);
    // The register lock belongs to this node's TEDS, not to whichever DS2430A was read last.
    AppRomLocked = device::hasAppRegister(doc.TedsBuf.Family) && device::deviceState().AppRomLocked;
    if (doc.TedsBuf.Status == core::TedsStatusReadOk || doc.TedsBuf.Status == core::TedsStatusCrcError ||
        doc.TedsBuf.Status == core::TedsStatusVirgin)
        noteInSync();
}

void TedsF::ReadNodeWithRetry(bool ForceRomRead)
{
    const MemberScope reading(*this);
    parkFocus();
    if (!nodeListed())
        return;
    doc.TedsBuf.Status = core::TedsStatusNotRead;
    const std::string switchNode = core::coreState().SwitchNodeId;
    if (analogThroughAdapter())
        device::Set_PIO_fam12(switchNode, true, false);
    platform::processEvents();
    core::Delay(50);
    int counter = 1;
    int limit = device::deviceState().InterfaceType == device::InterfaceType::Adapter ? 3 : 2;
    if (!tedsNeighbours().mainWindowVisible())
        limit = 2;
    while (doc.TedsBuf.Status != core::TedsStatusReadOk && counter <= limit) {
        readOnce(ForceRomRead);
        if (const int tries = device::familyInfo(doc.TedsBuf.Family).readTries; tries > 0)
            limit = tries;
        const std::string line = bufferStateTraceLine(doc.TedsBuf.Status);
        if (!line.empty())
            core::Tracewindow(line);
        if (doc.TedsBuf.Status != core::TedsStatusReadOk && counter <= limit) {
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
    ActualNodeID = doc.TedsBuf.id;
    ResetState();
}

void TedsF::ReadNode_msg(bool ForceRomRead)
{
    const MemberScope running(*this);
    doc.TedsBuf.id = ActualNodeID;
    ReadNodeWithRetry(ForceRomRead);
    doc.TedsChanged = false;
    UpdateMenuState();
    switch (doc.TedsBuf.Status) {
    case core::TedsStatusReadOk:
    case core::TedsStatusCrcError:
        doc.Clearfields();
        if (matchTemplate()) {
            storeSelector();
            ShowForm();
            reqShow();
        } else {
            editorState().LastTedsBuf = doc.TedsBuf;
            editorState().LastTedsRomLocked = AppRomLocked;
            ShowUnknownTemplate();
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
    reqShow();
}

void TedsF::ShowBufferState()
{
    readOnce(false);
    core::ShowMessage(bufferStateText(doc.TedsBuf.Status), platform::MsgOkOnly, "");
}

void TedsF::WriteNode_msg()
{
    const MemberScope running(*this);
    doc.updatebuf();
    syncDocument();
    if (!nodeListed()) {
        core::ShowMessage("Node ID not found on the microLAN");
        return;
    }
    bool confirmed = false;
    if (!device::Write_Node(doc.TedsBuf, confirmed)) {
        // The edits stay in the window for another try.
        core::ShowMessage("Writing not succeded");
        return;
    }
    // Written and verified: a new template or a remap is no unwritten work any more.
    doc.TedsChanged = false;
    noteInSync();
    afterWriteOrErase();
}

bool TedsF::WriteNode_s(std::string* why)
{
    const MemberScope running(*this);
    const auto problems = doc.updatebuf();
    syncDocument();
    // A request's value that the field cannot hold as given: nothing is written.
    if (core::MessagesSuppressed() && !problems.empty()) {
        if (why) {
            const auto& p = problems.front();
            *why = "field \"" + doc.rows[static_cast<std::size_t>(p.row)].caption + "\": " + p.result.reason +
                   ", nothing written";
        }
        return false;
    }
    if (!nodeListed()) {
        if (why)
            *why = "node " + doc.TedsBuf.id + " not found on the microLAN, nothing written";
        return false;
    }
    bool confirmed = tedsNeighbours().allowRomProgramming();
    device::WriteReport report;
    if (!device::Write_Node(doc.TedsBuf, confirmed, &report)) {
        if (why)
            *why = device::failedWriteText(report);
        return false;
    }
    doc.TedsChanged = false;
    noteInSync();
    const std::string id = doc.TedsBuf.id;
    FormLoaded = false;
    shell::Remove_transducer(id);
    return true;
}

void TedsF::eraseJob()
{
    const MemberScope running(*this);
    if (!device::Erase_Node(doc.TedsBuf))
        return;
    // The memory now holds FFh: what the window shows is no longer unwritten work.
    doc.TedsChanged = false;
    noteInSync();
    afterWriteOrErase();
}

void TedsF::afterWriteOrErase()
{
    const std::string id = doc.TedsBuf.id;
    FormLoaded = false;
    // Removes this window's own record: the window is unloaded now and destroyed once
    // the job has returned; the next scan finds the node as new.
    shell::Remove_transducer(id);
    if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink)
        tedsNeighbours().reselectAmplifierNode();
}

bool TedsF::Delete_memory()
{
    const MemberScope running(*this);
    auto& n = tedsNeighbours();
    doc.TedsBuf.Family = n.requestFamily();
    const int f = doc.TedsBuf.Family;
    if (!device::familyInfo(f).erasable) {
        n.requestReport("Error: Only DS2430, DS2431 and DS2433 is supported for this command (Delete_memory)");
        return false;
    }
    doc.TedsBuf.id = ActualNodeID;
    if (doc.TedsBuf.id.empty()) {
        n.requestReport("Error: Node ID is missing (Delete_memory)");
        return false;
    }
    const bool erased = device::Erase_Node(doc.TedsBuf);
    while (shell::TrLast() >= 0)
        shell::Remove_transducer(shell::record(shell::TrLast())->id);
    return erased;
}

void TedsF::debug_write()
{
    const MemberScope running(*this);
    for (int i = 1; i <= doc.TedsBuf.Size && i < static_cast<int>(doc.TedsBuf.Bytes.size()); ++i)
        doc.TedsBuf.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < 256 ? i : i - 255);
    core::BytesToBits(doc.TedsBuf);
    bool confirmed = false;
    const bool ok = device::Write_Node(doc.TedsBuf, confirmed);
    if (ok)
        noteInSync();
    core::MsgBox(boolean_txt(ok));
}

void TedsF::noteInSync()
{
    syncedBytes_ = doc.TedsBuf.Bytes;
}

bool TedsF::hasUnwrittenChanges() const
{
    if (!doc.TedsShown || doc.TedsManufacturerId == 1)
        return false;
    return doc.TedsChanged || doc.TedsBuf.Bytes != syncedBytes_;
}

} // namespace editor
