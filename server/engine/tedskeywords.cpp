// The keywords that read, list, write and erase the TEDS of the selected node, with
// their response writers.

#include "core/base/textfile.h"
#include "server/engine/keywords.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestlines.h"
#include "server/engine/requestrun.h"
#include "shell/nodes/nodelist.h"

namespace server::keywords {

namespace {

// With node -1: the one node of the request's family (any family when none is given)
// whose memory holds a TEDS, node set to it; otherwise whether node holds a TEDS.
bool findTEDS(RequestRun& run, int& node)
{
    if (node == -1) {
        const bool anyFamily = run.engine.RequestFamily == -1;
        int count = 0;
        for (int i = 0; i <= shell::TrLast(); ++i) {
            const auto* r = shell::record(i);
            if (r->state == shell::TrStateTeds && (anyFamily || r->family == run.engine.RequestFamily)) {
                ++count;
                node = i;
            }
        }
        if (count == 1)
            return true;
        run.log((anyFamily ? "Warning no. of TEDS are " : "Warning no. of TEDS within the family are ") +
                std::to_string(count));
        node = -1;
        return false;
    }
    const auto* r = shell::record(node);
    if (r && r->state == shell::TrStateTeds)
        return true;
    run.log("Error: Specified node does not contain a TEDS");
    return false;
}

// The node read again, then its full TEDS listing as the whole response.
bool listFullTEDS(RequestRun& run, int node, bool prefix)
{
    const std::string id = shell::record(node)->id;
    run.windowAt(node).Inititiate(node);
    // Reading let events run: the node may have gone, or moved in the list.
    node = RequestRun::indexOfNode(id);
    if (node < 0) {
        run.log("Error: Selected node lost !");
        return false;
    }
    bool writable = false;
    run.files.WaitFileWritable(run.files.file(kResponseFile), writable);
    auto lines = run.headerLines();
    for (auto& l : run.host.appendFullTEDS(run.windowAt(node), prefix))
        lines.push_back(std::move(l));
    const bool ok = run.files.writeResponse(lines);
    run.focusBack();
    return ok;
}

// The node's TEDS window written into the node, once its answer could be created.
bool writeTEDS(RequestRun& run, int node)
{
    run.files.folder().remove(kResponseFile);
    bool writable = false;
    run.files.WaitFileWritable(run.files.file(kResponseFile), writable);
    const std::string id = shell::record(node)->id;
    // The response is made first: no node is written that cannot be answered for.
    if (!writable) {
        run.log("Error: Can't write requestfile, node " + id + " not written");
        return false;
    }
    auto lines = run.headerLines();
    std::string why;
    const bool written = run.host.WriteNode_s(run.windowAt(node), why);
    if (written) {
        lines.push_back("Node ID: " + id);
        lines.push_back("OK");
    } else {
        run.log("Error: Writing not succeded, node " + id + ": " + why);
    }
    const bool ok = run.files.writeResponse(lines) && written;
    run.focusBack();
    return ok;
}

} // namespace

void readTeds(RequestRun& run, const std::string&)
{
    run.log(run.logHeader("readTEDS"));
    int node = -1;
    if (!run.selectedNode().empty() && (node = run.selectedIndex()) < 0) {
        run.log("Error: Selected node lost !");
        run.abort = true;
        return;
    }
    if (!findTEDS(run, node)) {
        run.log("Error: TEDS not found");
        run.abort = true;
        return;
    }
    const auto* r = shell::record(node);
    run.engine.selectedNode = r->id;
    if (run.engine.RequestFamily == -1) {
        run.engine.RequestFamily = r->family;
        run.engine.RequestDevice = deviceNameOfFamily(run.engine.RequestFamily);
    }
    run.windowAt(node).Inititiate(node);
}

void listFullTeds(RequestRun& run, const std::string& parameter)
{
    const int node = run.requireNode();
    if (node < 0)
        return;
    run.log(run.logHeader("ListFullTEDS"));
    const bool prefix = core::upper(parameter).find("PREFIX") != std::string::npos;
    run.success = listFullTEDS(run, node, prefix);
    run.deviceRequest = run.commandRan = true;
}

void writeTeds(RequestRun& run, const std::string&)
{
    const int node = run.requireNode();
    if (node < 0)
        return;
    run.log(run.logHeader("WriteTEDS"));
    const bool ok = writeTEDS(run, node);
    run.success = ok;
    if (run.host.amplifierLinkChosen())
        run.host.rescanAmplifierChannel();
    run.deviceRequest = ok;
    run.commandRan = run.commandRan || ok;
}

void deleteMemory(RequestRun& run, const std::string&)
{
    run.deviceRequest = run.commandRan = true;
    run.log(run.logHeader("Delete_memory"));
    if (!run.openFrame("Delete_memory"))
        return;
    auto& e = run.engine;
    const std::string id = e.selectedNode.empty() ? run.host.ActualNodeID() : e.selectedNode;
    const int node = RequestRun::indexOfNode(id);
    bool ok = false;
    if (!e.selectedNode.empty() && node < 0) {
        run.report("Error: Selected node lost !");
    } else {
        // The node's own record names its family; a request naming another one is refused.
        const long family = node >= 0 ? shell::record(node)->family : e.RequestFamily;
        if (e.RequestFamily != -1 && node >= 0 && family != e.RequestFamily) {
            run.report("Error: Node " + id + " is not of family " + std::to_string(e.RequestFamily) +
                       " (Delete_memory)");
        } else {
            e.RequestFamily = family;
            run.host.setActualNodeID(id);
            ok = run.host.Delete_memory();
        }
    }
    run.success = ok;
    run.append(ok ? "Request completed successfully" : "Error: Request not completed successfully");
}

} // namespace server::keywords
