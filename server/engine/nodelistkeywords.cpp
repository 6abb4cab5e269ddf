// The keywords of the node-list generator: its list made, listed and written into the
// one device present, and the check of a node list a transducer holds.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/teds/nodelistimage.h"
#include "server/engine/keywords.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestrun.h"
#include "shell/nodes/nodelist.h"

namespace server::keywords {

namespace {

bool adaptorNode(const std::string& id)
{
    const auto& cs = core::coreState();
    return id == cs.SwitchNodeId || id == cs.AdapterId9097U || id == cs.AdapterId9490R;
}

// Writes the generator's list into the one device present (adapters not counted).
bool writeNodelistRequest(RequestRun& run)
{
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
        return run.host.DO_PrgDevice(last);
    return false;
}

// Checks the node list a node's image holds; every line logged and appended.
bool showNodelistRequest(RequestRun& run, const core::TedsBuf& image)
{
    const auto nodeList = core::decodeNodeList(image.Bytes, image.Size);
    shell::NodeTree::Handle handle = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(image.id, handle, found);
    const int index = RequestRun::indexOfNode(image.id);
    if (!found || index < 0) {
        run.report("Error: Node lost !");
        return false;
    }
    const auto& tree = shell::nodesState().tree;
    const auto parent = tree.node(handle).parent;
    run.report("Template: " + (parent != shell::NodeTree::None ? tree.node(parent).text : std::string()));
    if (shell::record(index)->selector != 1) {
        run.report("Error: Nodelist not found in present device: " + image.id);
        return false;
    }
    // The count byte may name more nodes than the image has room for: only what it holds
    // is listed.
    const int holds = static_cast<int>(nodeList.ids.size()) + 1;
    if (nodeList.truncated || nodeList.count > holds) {
        run.report("Error: Nodelist names " + std::to_string(nodeList.count) + " nodes, the memory holds at most " +
                   std::to_string(holds));
        return false;
    }
    run.report("No. of nodes in transducer: " + std::to_string(nodeList.count));
    run.report("Node no. 1,  Node ID: " + image.id + "   (Present device)");
    for (int i = 1; i < nodeList.count; ++i)
        run.report("Node no. " + std::to_string(i + 1) + ",  Node ID: " + nodeList.ids[static_cast<std::size_t>(i - 1)]);
    if (image.Status == core::TedsStatusCrcError) {
        run.report("Error: CRC failed");
        return false;
    }
    run.log("CRC ok");
    run.log("Nodelist ok");
    run.append("CRC ok");
    run.append("Nodelist ok");
    return true;
}

} // namespace

void listNodelist(RequestRun& run, bool& ok)
{
    ok = false;
    bool writable = false;
    run.files.WaitFileWritable(run.files.file(kResponseFile), writable);
    std::vector<std::string> lines;
    if (!run.engine.RequestDateTime.empty())
        lines.push_back("Requestdatetime " + run.engine.RequestDateTime);
    run.log("Nodes in NodeList:");
    const auto ids = run.host.nodeListIds();
    for (const auto& id : ids) {
        lines.push_back(id);
        run.log(id);
    }
    if (ids.empty())
        run.log("Nodelist empty");
    ok = run.files.writeResponse(lines);
    run.focusBack();
}

void clearNodeList(RequestRun& run, const std::string&) { run.host.ClearNodeList(); }

void addNode(RequestRun& run, const std::string& parameter) { run.host.addNode(parameter); }

void addNodes(RequestRun& run, const std::string&) { run.host.AddNodes(); }

void readNodes(RequestRun& run, const std::string&) { run.host.ReadNodes(); }

void listNodeList(RequestRun& run, const std::string&)
{
    run.log(run.logHeader("ListNodeList"));
    bool ok = false;
    listNodelist(run, ok);
    run.success = ok;
    run.deviceRequest = run.commandRan = true;
}

void writeNodeList(RequestRun& run, const std::string&)
{
    run.deviceRequest = run.commandRan = true;
    run.success = false;
    run.log(run.logHeader("WriteNodelist"));
    if (!run.openFrame("WriteNodelist"))
        return;
    if (!run.versionGiven) {
        run.report("Error: only IEEE P1451.4 V0.9x is supported");
        run.abort = true;
        return;
    }
    run.host.setAllowROMprg(run.engine.AllowRomProgramming);
    const bool ok = writeNodelistRequest(run);
    run.success = ok;
    run.append(ok ? "Request completed successfully" : "Error: Request not completed successfully");
}

void showNodeList(RequestRun& run, const std::string&)
{
    run.deviceRequest = run.commandRan = true;
    run.success = false;
    run.log(run.logHeader("ShowNodelist"));
    if (!run.openFrame("ShowNodelist"))
        return;
    const int count = shell::TrLast() + 1;
    int node = -1;
    if (count == 0) {
        run.report("Error: No devices present !");
        return;
    }
    if (count == 1) {
        node = 0;
        if (shell::record(0)->id != run.host.ActualNodeID()) {
            run.report("Error: Node lost !");
            return;
        }
    } else {
        node = run.selectedIndex();
        if (node < 0) {
            run.report("Error: Selected node lost !");
            return;
        }
    }
    const auto image = run.host.storedTeds(run.windowAt(node));
    if (!image) {
        run.report("Error: Nodelist not found in present device: " + shell::record(node)->id);
        return;
    }
    run.success = showNodelistRequest(run, *image);
}

} // namespace server::keywords
