// The keywords of channels: the amplifier channel a request selects first, and the two
// switch channels (PIO A and B) of a dual switch, read and set.

#include "core/numeric/numberrules.h"
#include "device/drivers/dualswitch.h"
#include "device/memimage/familytable.h"
#include "server/engine/keywords.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestlines.h"
#include "server/engine/requestrun.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <cmath>

namespace server::keywords {

namespace {

std::string pioLine(const char* name, bool on) { return std::string(name) + "=" + (on ? "1" : "0"); }

// The switch's two channels as the whole response ("PIO_A=..", "PIO_B=..").
bool readDS2406Pio(RequestRun& run, const std::string& id)
{
    run.log(run.logHeader("Read_DS2406_PIO"));
    bool writable = false;
    run.files.WaitFileWritable(run.files.file(kResponseFile), writable);
    if (!writable) {
        run.log("Error: Can't write requestfile");
        return false;
    }
    if (id.empty()) {
        run.log("Error: Node ID missing (Read_DS2406_PIO)");
        run.append("Error: Node ID is missing (Read_DS2406_PIO)");
        return false;
    }
    bool a = false, b = false, failed = false;
    device::Read_PIO_fam12(id, a, b, failed);
    bool written = true;
    if (!failed) {
        for (const std::string& line : {pioLine("PIO_A", a), pioLine("PIO_B", b)}) {
            run.log(line);
            bool lineOk = false;
            run.files.WriteToRequestFile(line, lineOk);
            written = written && lineOk;
        }
    }
    if (failed || !written) {
        run.append("Error reading PIO in DS2406");
        run.log("Error reading PIO in DS2406");
        return false;
    }
    return true;
}

void setPio(RequestRun& run, bool a, bool b)
{
    const int node = run.requireNode();
    if (node < 0)
        return;
    run.deviceRequest = run.commandRan = true;
    const std::string command = std::string("Set_DS2406_PIOAB_") + (a ? "1" : "0") + (b ? "1" : "0");
    run.log(run.logHeader(command));
    if (!run.openFrame(command))
        return;
    const auto* r = shell::record(node);
    bool failed = device::familyInfo(r->family).kind != device::NodeKind::DualSwitch;
    if (failed) {
        run.report("Error: Node " + r->id + " is not a DS2406");
    } else {
        const std::string id = r->id;
        device::Set_PIO_fam12(id, a, b);
        // The switch reports nothing: a read shows whether the node answered.
        bool pa = false, pb = false;
        device::Read_PIO_fam12(id, pa, pb, failed);
        run.log(pioLine("PIO_A", a));
        run.log(pioLine("PIO_B", b));
    }
    run.success = !failed;
    run.append(failed ? "Error: Request not completed successfully" : "Request completed successfully");
}

} // namespace

void readPio(RequestRun& run, const std::string&)
{
    std::string id = run.host.ActualNodeID();
    if (!run.selectedNode().empty()) {
        const int node = run.requireNode();
        if (node < 0)
            return;
        id = shell::record(node)->id;
    }
    run.success = readDS2406Pio(run, id);
    run.deviceRequest = run.commandRan = true;
}

void setPio00(RequestRun& run, const std::string&) { setPio(run, false, false); }
void setPio01(RequestRun& run, const std::string&) { setPio(run, false, true); }
void setPio10(RequestRun& run, const std::string&) { setPio(run, true, false); }
void setPio11(RequestRun& run, const std::string&) { setPio(run, true, true); }

bool selectChannelFirst(RequestRun& run, const std::vector<std::string>& lines)
{
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '%')
            continue;
        const KeywordLine kw = parseKeywordLine(line);
        if (kw.keyword == "REQUESTDATETIME" && kw.parameter.size() <= kRequestDateTimeMax)
            run.engine.RequestDateTime = kw.parameter;
        if (kw.keyword != "SELECT_CHANNEL")
            continue;
        run.lineNo = static_cast<int>(i) + 1;
        // Only the channel is selected now; every other line runs once, in the resume run
        // after the amplifier window has read the channel's TEDS.
        const double v = core::numeric::Val(kw.parameter);
        const bool inRange = std::isfinite(v) && std::fabs(v) < 32768;
        const int channel = inRange ? static_cast<int>(std::nearbyint(v)) : 0;
        if (!inRange || !run.host.Select_Channel(channel)) {
            run.log("Error: specified channel not found");
            run.abort = true;
            return false;
        }
        run.host.rescanAmplifierChannel();
        shell::jobQueue().Insert_In_JobQue(run.engine, 1, 0LL);
        return true;
    }
    return false;
}

} // namespace server::keywords
