// RequestEngine: the device commands and the response writers.

#include "server/engine/requestengine.h"

#include "core/base/textfile.h"
#include "device/drivers/dualswitch.h"
#include "device/memimage/familytable.h"
#include "server/engine/requestlines.h"
#include "shell/nodes/nodelist.h"

namespace server {


std::vector<std::string> RequestEngine::headerLines() const
{
    std::vector<std::string> lines;
    if (!RequestDateTime.empty())
        lines.push_back("Requestdatetime " + RequestDateTime);
    if (!RequestDevice.empty())
        lines.push_back("Device " + RequestDevice);
    return lines;
}

std::string RequestEngine::logHeader(const std::string& command) const
{
    return "Request (" + RequestDateTime + ") for " + command + " : " + nowText();
}

bool RequestEngine::openFrame(const std::string& command)
{
    bool ok = false;
    WaitFileWritable(file(kResponseFile), ok);
    if (!ok) {
        addLog("Error: Can't write requestfile");
        return false;
    }
    append(logHeader(command));
    return true;
}

void RequestEngine::append(const std::string& line)
{
    bool ok = false;
    WriteToRequestFile(line, ok);
}

void RequestEngine::requestReport(const std::string& line)
{
    addLog(line);
    append(line);
}

// --- Commands ---------------------------------------------------------------------------------

void RequestEngine::readTeds(Run& run)
{
    addLog(logHeader("readTEDS"));
    int node = -1;
    if (!selectedNode.empty() && (node = selectedIndex()) < 0) {
        addLog("Error: Selected node lost !");
        run.abort = true;
        return;
    }
    bool found = false;
    findTEDS(node, found);
    if (!found) {
        addLog("Error: TEDS not found");
        run.abort = true;
        return;
    }
    const auto* r = shell::record(node);
    selectedNode = r->id;
    if (RequestFamily == -1) {
        RequestFamily = r->family;
        RequestDevice = deviceNameOfFamily(RequestFamily);
    }
    windowAt(node).Inititiate(node);
}

void RequestEngine::listFullTedsCommand(Run& run, const std::string& parameter)
{
    const int node = requireNode(run);
    if (node < 0)
        return;
    addLog(logHeader("ListFullTEDS"));
    const bool prefix = core::upper(parameter).find("PREFIX") != std::string::npos;
    bool ok = false;
    listFullTEDS(node, prefix, ok);
    run.success = ok;
    run.deviceRequest = run.commandRan = true;
}

void RequestEngine::writeTedsCommand(Run& run)
{
    const int node = requireNode(run);
    if (node < 0)
        return;
    addLog(logHeader("WriteTEDS"));
    bool ok = false;
    writeTEDS(node, ok);
    run.success = ok;
    if (host_.amplifierLinkChosen())
        host_.rescanAmplifierChannel();
    run.deviceRequest = ok;
    run.commandRan = run.commandRan || ok;
}

void RequestEngine::setPio(Run& run, bool a, bool b, const std::string& digits)
{
    const int node = requireNode(run);
    if (node < 0)
        return;
    run.deviceRequest = run.commandRan = true;
    const std::string command = "Set_DS2406_PIOAB_" + digits;
    addLog(logHeader(command));
    if (!openFrame(command))
        return;
    const auto* r = shell::record(node);
    bool failed = device::familyInfo(r->family).kind != device::NodeKind::DualSwitch;
    if (failed) {
        requestReport("Error: Node " + r->id + " is not a DS2406");
    } else {
        const std::string id = r->id;
        device::Set_PIO_fam12(id, a, b);
        // The switch reports nothing: a read shows whether the node answered.
        bool pa = false, pb = false;
        device::Read_PIO_fam12(id, pa, pb, failed);
        addLog(std::string("PIO_A=") + (a ? "1" : "0"));
        addLog(std::string("PIO_B=") + (b ? "1" : "0"));
    }
    run.success = !failed;
    append(failed ? "Error: Request not completed successfully" : "Request completed successfully");
}

void RequestEngine::deleteMemory(Run& run)
{
    run.deviceRequest = run.commandRan = true;
    addLog(logHeader("Delete_memory"));
    if (!openFrame("Delete_memory"))
        return;
    std::string id = selectedNode.empty() ? host_.ActualNodeID() : selectedNode;
    const int node = indexOfNode(id);
    bool ok = false;
    if (!selectedNode.empty() && node < 0) {
        requestReport("Error: Selected node lost !");
    } else {
        // The node's own record names its family; a request naming another one is refused.
        const long family = node >= 0 ? shell::record(node)->family : RequestFamily;
        if (RequestFamily != -1 && node >= 0 && family != RequestFamily) {
            requestReport("Error: Node " + id + " is not of family " + std::to_string(RequestFamily) +
                          " (Delete_memory)");
        } else {
            RequestFamily = family;
            host_.setActualNodeID(id);
            ok = host_.Delete_memory();
        }
    }
    run.success = ok;
    append(ok ? "Request completed successfully" : "Error: Request not completed successfully");
}

// --- Response writers ---------------------------------------------------------------------------

void RequestEngine::findTEDS(int& node, bool& found)
{
    found = false;
    if (node == -1) {
        const bool anyFamily = RequestFamily == -1;
        int count = 0;
        for (int i = 0; i <= shell::TrLast(); ++i) {
            const auto* r = shell::record(i);
            if (r->state == shell::TrStateTeds && (anyFamily || r->family == RequestFamily)) {
                ++count;
                node = i;
            }
        }
        if (count == 1) {
            found = true;
            return;
        }
        addLog((anyFamily ? "Warning no. of TEDS are " : "Warning no. of TEDS within the family are ") +
               std::to_string(count));
        node = -1;
        return;
    }
    const auto* r = shell::record(node);
    if (r && r->state == shell::TrStateTeds) {
        found = true;
        return;
    }
    addLog("Error: Specified node does not contain a TEDS");
}

void RequestEngine::listFullTEDS(int node, bool prefix, bool& ok)
{
    ok = false;
    const std::string id = shell::record(node)->id;
    windowAt(node).Inititiate(node);
    // Reading let events run: the node may have gone, or moved in the list.
    node = indexOfNode(id);
    if (node < 0) {
        addLog("Error: Selected node lost !");
        return;
    }
    bool writable = false;
    WaitFileWritable(file(kResponseFile), writable);
    auto lines = headerLines();
    for (auto& l : host_.appendFullTEDS(windowAt(node), prefix))
        lines.push_back(std::move(l));
    ok = writeResponse(lines);
    if (host_.mainWindowVisible())
        view_.takeFocus();
}

void RequestEngine::writeTEDS(int node, bool& ok)
{
    ok = false;
    folder().remove(kResponseFile);
    bool writable = false;
    WaitFileWritable(file(kResponseFile), writable);
    const std::string id = shell::record(node)->id;
    // The response is made first: no node is written that cannot be answered for.
    if (!writable) {
        addLog("Error: Can't write requestfile, node " + id + " not written");
        return;
    }
    auto lines = headerLines();
    std::string why;
    const bool written = host_.WriteNode_s(windowAt(node), why);
    if (written) {
        lines.push_back("Node ID: " + id);
        lines.push_back("OK");
    } else {
        addLog("Error: Writing not succeded, node " + id + ": " + why);
    }
    ok = writeResponse(lines) && written;
    if (host_.mainWindowVisible())
        view_.takeFocus();
}

void RequestEngine::Read_DS2406_PIO(const std::string& id, bool& ok)
{
    ok = false;
    addLog(logHeader("Read_DS2406_PIO"));
    bool writable = false;
    WaitFileWritable(file(kResponseFile), writable);
    if (!writable) {
        addLog("Error: Can't write requestfile");
        return;
    }
    if (id.empty()) {
        addLog("Error: Node ID missing (Read_DS2406_PIO)");
        append("Error: Node ID is missing (Read_DS2406_PIO)");
        return;
    }
    bool a = false, b = false, failed = false;
    device::Read_PIO_fam12(id, a, b, failed);
    bool written = true;
    if (!failed) {
        for (const std::string& line : {std::string("PIO_A=") + (a ? "1" : "0"), std::string("PIO_B=") + (b ? "1" : "0")}) {
            addLog(line);
            bool lineOk = false;
            WriteToRequestFile(line, lineOk);
            written = written && lineOk;
        }
    }
    if (failed || !written) {
        append("Error reading PIO in DS2406");
        addLog("Error reading PIO in DS2406");
        return;
    }
    ok = true;
}

} // namespace server
