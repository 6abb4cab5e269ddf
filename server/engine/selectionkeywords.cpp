// The keywords that select the node a request works on: by family, by device name, by
// node id, and the template (UTID) its TEDS window is to take.

#include "core/numeric/numberrules.h"
#include "server/engine/keywords.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestlines.h"
#include "server/engine/requestrun.h"
#include "shell/nodes/nodelist.h"

namespace server::keywords {

namespace {

// The one node of the request's family that takes part in ageing (the extra switch
// record of a dual switch does not); two or none abort.
void selectByFamily(RequestRun& run)
{
    int count = 0;
    int last = -1;
    for (int i = 0; i <= shell::TrLast(); ++i) {
        const auto* r = shell::record(i);
        if (r->aging && r->family == run.engine.RequestFamily) {
            ++count;
            last = i;
        }
    }
    if (count == 1) {
        run.engine.selectedNode = shell::record(last)->id;
        return;
    }
    run.log(count == 0 ? "Error: Device specified not found" : "Error: More than one device found");
    run.abort = true;
}

// The default TEDS window names the node selected.
void showSelected(RequestRun& run, const std::string& id)
{
    run.host.setActualNodeID(id);
    run.host.setSelectedNodeID(id);
}

} // namespace

void family(RequestRun& run, const std::string& parameter)
{
    run.engine.RequestFamily = familyCode(parameter);
    run.engine.RequestDevice = deviceNameOfFamily(run.engine.RequestFamily);
    selectByFamily(run);
}

void device(RequestRun& run, const std::string& parameter)
{
    run.engine.RequestDevice = parameter;
    run.engine.RequestFamily = familyOfDeviceName(parameter);
    selectByFamily(run);
    if (!run.abort)
        showSelected(run, run.engine.selectedNode);
}

void nodeId(RequestRun& run, const std::string& parameter)
{
    int found = -1;
    for (int i = 0; i <= shell::TrLast() && found < 0; ++i)
        if (shell::record(i)->id == parameter)
            found = i;
    if (found < 0) {
        run.log("Error: specified node not found");
        run.host.setActualNodeID("");
        run.abort = true;
        return;
    }
    run.engine.selectedNode = parameter;
    showSelected(run, parameter);
}

void utid(RequestRun& run, const std::string& parameter)
{
    const auto utid = core::Currency::fromDouble(core::numeric::Val(parameter));
    run.engine.RequestUTID = utid.value_or(core::Currency::fromScaled(0));
    const int node = run.requireNode();
    if (node < 0)
        return;
    if (!utid || !run.host.CreateNewTEDS_force(run.windowAt(node), run.engine.RequestUTID)) {
        run.log("Error: template for requested UTID not found, UTID: " + parameter);
        run.abort = true;
    }
}

} // namespace server::keywords
