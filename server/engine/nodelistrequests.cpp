// RequestEngine: the node-list commands (the generator's list, its write into the one
// device present, the check of a list stored in a transducer) and the channel selection
// through the amplifier window.

#include "server/engine/requestengine.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/numeric/numberrules.h"
#include "core/teds/nodelistimage.h"
#include "server/engine/requestlines.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <cmath>

namespace server {

namespace {

bool adaptorNode(const std::string& id)
{
    const auto& cs = core::coreState();
    return id == cs.SwitchNodeId || id == cs.AdapterId9097U || id == cs.AdapterId9490R;
}

} // namespace

void RequestEngine::listNodelist(bool& ok)
{
    ok = false;
    bool writable = false;
    WaitFileWritable(file(kResponseFile), writable);
    std::vector<std::string> lines;
    if (!RequestDateTime.empty())
        lines.push_back("Requestdatetime " + RequestDateTime);
    addLog("Nodes in NodeList:");
    const auto ids = host_.nodeListIds();
    for (const auto& id : ids) {
        lines.push_back(id);
        addLog(id);
    }
    if (ids.empty())
        addLog("Nodelist empty");
    ok = writeResponse(lines);
    if (host_.mainWindowVisible())
        view_.takeFocus();
}

void RequestEngine::WriteNodelistRequest(bool& ok)
{
    ok = false;
    int count = 0;
    std::string last;
    for (int i = 0; i <= shell::TrLast(); ++i) {
        const auto* r = shell::record(i);
        if (r->aging && !adaptorNode(r->id)) {
            ++count;
            last = r->id;
        }
    }
    if (count >= 2)
        core::ShowMessage("Error: More than one device present on the microLAN");
    else if (count == 0)
        core::ShowMessage("Error: No device present on the microLAN");
    else
        ok = host_.DO_PrgDevice(last);
}

bool RequestEngine::ShowNodelistRequest(const core::TedsBuf& image)
{
    const auto nodeList = core::decodeNodeList(image.Bytes, image.Size);
    shell::NodeTree::Handle handle = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(image.id, handle, found);
    const int index = indexOfNode(image.id);
    if (!found || index < 0) {
        requestReport("Error: Node lost !");
        return false;
    }
    const auto& tree = shell::nodesState().tree;
    const auto parent = tree.node(handle).parent;
    requestReport("Template: " + (parent != shell::NodeTree::None ? tree.node(parent).text : std::string()));
    if (shell::record(index)->selector != 1) {
        requestReport("Error: Nodelist not found in present device: " + image.id);
        return false;
    }
    // The count byte may name more nodes than the image has room for: only what it holds
    // is listed.
    const int holds = static_cast<int>(nodeList.ids.size()) + 1;
    if (nodeList.truncated || nodeList.count > holds) {
        requestReport("Error: Nodelist names " + std::to_string(nodeList.count) + " nodes, the memory holds at most " +
                      std::to_string(holds));
        return false;
    }
    requestReport("No. of nodes in transducer: " + std::to_string(nodeList.count));
    requestReport("Node no. 1,  Node ID: " + image.id + "   (Present device)");
    for (int i = 1; i < nodeList.count; ++i)
        requestReport("Node no. " + std::to_string(i + 1) + ",  Node ID: " + nodeList.ids[static_cast<std::size_t>(i - 1)]);
    if (image.Status == core::TedsStatusCrcError) {
        requestReport("Error: CRC failed");
        return false;
    }
    addLog("CRC ok");
    addLog("Nodelist ok");
    append("CRC ok");
    append("Nodelist ok");
    return true;
}

// --- Commands ---------------------------------------------------------------------------------

void RequestEngine::listNodelistCommand(Run& run)
{
    addLog(logHeader("ListNodeList"));
    bool ok = false;
    listNodelist(ok);
    run.success = ok;
    run.deviceRequest = run.commandRan = true;
}

void RequestEngine::writeNodelistCommand(Run& run)
{
    run.deviceRequest = run.commandRan = true;
    run.success = false;
    addLog(logHeader("WriteNodelist"));
    if (!openFrame("WriteNodelist"))
        return;
    if (!run.versionGiven) {
        requestReport("Error: only IEEE P1451.4 V0.9x is supported");
        run.abort = true;
        return;
    }
    host_.setAllowROMprg(AllowRomProgramming);
    bool ok = false;
    WriteNodelistRequest(ok);
    run.success = ok;
    append(ok ? "Request completed successfully" : "Error: Request not completed successfully");
}

void RequestEngine::showNodelistCommand(Run& run)
{
    run.deviceRequest = run.commandRan = true;
    run.success = false;
    addLog(logHeader("ShowNodelist"));
    if (!openFrame("ShowNodelist"))
        return;
    const int count = shell::TrLast() + 1;
    int node = -1;
    if (count == 0) {
        requestReport("Error: No devices present !");
        return;
    }
    if (count == 1) {
        node = 0;
        if (shell::record(0)->id != host_.ActualNodeID()) {
            requestReport("Error: Node lost !");
            return;
        }
    } else {
        node = selectedIndex();
        if (node < 0) {
            requestReport("Error: Selected node lost !");
            return;
        }
    }
    const auto image = host_.storedTeds(windowAt(node));
    if (!image) {
        requestReport("Error: Nodelist not found in present device: " + shell::record(node)->id);
        return;
    }
    run.success = ShowNodelistRequest(*image);
}

bool RequestEngine::selectChannelFirst(Run& run, const std::vector<std::string>& lines)
{
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '%')
            continue;
        const KeywordLine kw = parseKeywordLine(line);
        if (kw.keyword == "REQUESTDATETIME" && kw.parameter.size() <= kRequestDateTimeMax)
            RequestDateTime = kw.parameter;
        if (kw.keyword != "SELECT_CHANNEL")
            continue;
        run.lineNo = static_cast<int>(i) + 1;
        // Only the channel is selected now; every other line runs once, in the resume run
        // after the amplifier window has read the channel's TEDS.
        const double v = core::numeric::Val(kw.parameter);
        const bool inRange = std::isfinite(v) && std::fabs(v) < 32768;
        const int channel = inRange ? static_cast<int>(std::nearbyint(v)) : 0;
        if (!inRange || !host_.Select_Channel(channel)) {
            addLog("Error: specified channel not found");
            run.abort = true;
            return false;
        }
        host_.rescanAmplifierChannel();
        shell::jobQueue().Insert_In_JobQue(*this, 1, 0LL);
        return true;
    }
    return false;
}

} // namespace server
