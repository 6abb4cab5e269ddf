// RequestEngine::processRequestfile: one request, line by line, and its end.

#include "server/engine/requestengine.h"

#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"
#include "device/drivers/driverstate.h"
#include "server/engine/requestlines.h"
#include "shell/nodes/nodelist.h"

#include <stdexcept>

namespace server {



void RequestEngine::processRequestfile(bool resume)
{
    Run run;
    run.resume = resume;
    folder().remove(kResponseFile);
    responseLines_.clear();
    AllowRomProgramming = false;
    device::driverState().RomProgrammingAllowed = false;
    try {
        // Read whole now: a client that rewrites the file later cannot mix two requests.
        // Only a regular file of a request's size is read.
        std::string bytes;
        switch (folder().readRegular(kRequestFile, kRequestFileMax, bytes)) {
        case WorkFolder::Read::Ok:
            break;
        case WorkFolder::Read::NotRegular:
            addLog("Error: TEDS_req.txt is not a regular file, request not read");
            throw std::runtime_error("request file not regular");
        case WorkFolder::Read::TooLarge:
            addLog("Error: TEDS_req.txt is larger than " + std::to_string(kRequestFileMax) +
                   " bytes, request not read");
            throw std::runtime_error("request file too large");
        default:
            throw std::runtime_error("request file not read");
        }
        const auto lines = std::optional<std::vector<std::string>>(core::splitLines(bytes));
        if (lines->empty())
            throw std::runtime_error("request file not read");
        run.lineNo = 1;
        if ((*lines)[0] != kRequestVersionLine) {
            addLog("Wrong version T-block server requestfile, required version: 1.0.0\r\n"
                   "acknowledge ignored, request ignored");
            Kill_ackFile();
            restoreTimer();
            return;
        }
        RequestDateTime.clear();
        RequestDevice.clear();
        RequestFamily = -1;
        RequestUTID = core::Currency::fromScaled(-core::Currency::kScale);
        selectedNode.clear();
        if (!resume && host_.amplifierLinkChosen() && selectChannelFirst(run, *lines))
            return;
        if (!run.abort)
            run.lineNo = 1;
        if (!run.abort && busFaultAnswers(run, *lines))
            run.abort = true;
        for (std::size_t i = 1; i < lines->size() && !run.abort; ++i) {
            ++run.lineNo;
            const std::string& line = (*lines)[i];
            if (!line.empty() && line[0] == '%')
                handleTagLine(run, line);
            else
                handleKeyword(run, line);
        }
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception&) {
        device::driverState().RomProgrammingAllowed = false;
        errorPath(run.lineNo);
        return;
    }
    endRequest(run);
}

void RequestEngine::errorPath(int lineNo)
{
    AllowRomProgramming = false;
    addLog("Error in TEDS_req.txt file, in line : " + std::to_string(lineNo));
    writeLogAsResponse();
    Kill_ackFile();
    restoreTimer();
}

void RequestEngine::endRequest(Run& run)
{
    AllowRomProgramming = false;
    device::driverState().RomProgrammingAllowed = false;
    if (!run.deviceRequest) {
        addLog("Request is cancled: " + nowText() + (run.abort ? "" : " due to incomplete request"));
        writeLogAsResponse();
    }
    // EXIT does not throw away TEDS changes that were neither written nor saved: the
    // program goes on, and the response and the log say why.
    bool exitRefused = false;
    if (run.exitRequested && !host_.mayEndProgram()) {
        run.exitRequested = false;
        exitRefused = true;
        const std::string why = "Error: EXIT not carried out: a TEDS window holds changes that were neither written "
                                "nor saved";
        addLog(why);
        bool ok = false;
        WriteToRequestFile(why, ok);
    }
    // EXIT alone completes a request; it does not turn a failure into a success.
    if (run.exitRequested && !run.commandRan && !run.abort)
        run.success = true;
    if (exitRefused && !run.commandRan)
        run.success = false;
    addLog("Request (" + RequestDateTime + ")  " + (run.success ? "completed succesfully" : "failed"));
    const bool finished = Kill_ackFile();
    restoreTimer();
    if (run.exitRequested) {
        // The program ends once the client has its answer: now, or when the ack has gone.
        exitAfterFinish_ = !finished;
        if (finished)
            exitProgram();
    }
}

// --- Lines ----------------------------------------------------------------------------------

void RequestEngine::handleTagLine(Run& run, const std::string& line)
{
    const auto tag = parseTagLine(line);
    if (!tag) {
        addLog("Error in TEDS_req.txt file, in line  : " + std::to_string(run.lineNo));
        run.deviceRequest = false;
        run.abort = true;
        return;
    }
    const int node = requireNode(run);
    if (node < 0)
        return;
    std::string why;
    const int code = host_.updateTAG(windowAt(node), tag->name, tag->index, tag->value, tag->noValue, why);
    if (code == 0)
        return;
    const std::string n = std::to_string(run.lineNo);
    if (code == 1)
        addLog("Error in assignment of tag in line: " + n + ", could not assign manufacturer");
    else if (code == 2)
        addLog("Error in assignment of tag in line: " + n + ", property not found");
    else if (code == 3)
        addLog("Error in assignment of tag in line: " + n + ", " + why + ", nothing written");
    else
        addLog("Error in assignment of tag in line: " + n);
    run.abort = true;
}

void RequestEngine::handleKeyword(Run& run, const std::string& line)
{
    const KeywordLine kw = parseKeywordLine(line);
    const std::string& k = kw.keyword;
    const std::string& p = kw.parameter;
    if (k == "SELECT_CHANNEL") {
        // Selected before the first run ended (selectChannelFirst); skipped here.
    } else if (k == "REQUESTDATETIME") {
        // Echoed in every log line and answer of the request: a long text is refused.
        if (p.size() > kRequestDateTimeMax) {
            addLog("Error: REQUESTDATETIME is longer than " + std::to_string(kRequestDateTimeMax) +
                   " characters, in line: " + std::to_string(run.lineNo));
            run.abort = true;
            return;
        }
        RequestDateTime = p;
    } else if (k == "FAMILY") {
        RequestFamily = familyCode(p);
        RequestDevice = deviceNameOfFamily(RequestFamily);
        selectByFamily(run);
    } else if (k == "NODE" || k == "DEVICE") {
        RequestDevice = p;
        RequestFamily = familyOfDeviceName(p);
        selectByFamily(run);
        if (!run.abort) {
            host_.setActualNodeID(selectedNode);
            host_.setSelectedNodeID(selectedNode);
        }
    } else if (k == "ULANID" || k == "NODEID") {
        int found = -1;
        for (int i = 0; i <= shell::TrLast() && found < 0; ++i)
            if (shell::record(i)->id == p)
                found = i;
        if (found < 0) {
            addLog("Error: specified node not found");
            host_.setActualNodeID("");
            run.abort = true;
            return;
        }
        selectedNode = p;
        host_.setActualNodeID(p);
        host_.setSelectedNodeID(p);
    } else if (k == "UTID") {
        const auto utid = core::Currency::fromDouble(core::numeric::Val(p));
        RequestUTID = utid.value_or(core::Currency::fromScaled(0));
        const int node = requireNode(run);
        if (node < 0)
            return;
        if (!utid || !host_.CreateNewTEDS_force(windowAt(node), RequestUTID)) {
            addLog("Error: template for requested UTID not found, UTID: " + p);
            run.abort = true;
        }
    } else if (k == "ALLOWROMPROGRAMMING") {
        AllowRomProgramming = true;
        device::driverState().RomProgrammingAllowed = true;
    } else if (k == "VERSION") {
        run.versionGiven = true;
        if (core::upper(p) != "V0.9X") {
            addLog("Error: only IEEE version supported: V0.9X");
            run.abort = true;
        }
    } else if (k == "CLEARLOG") {
        cbClearLog_Click();
    } else if (k == "CLEARNODELIST") {
        host_.ClearNodeList();
    } else if (k == "ADDNODE") {
        host_.addNode(p);
    } else if (k == "ADDNODES") {
        host_.AddNodes();
    } else if (k == "READNODES") {
        host_.ReadNodes();
    } else if (k == "LISTNODELIST") {
        listNodelistCommand(run);
    } else if (k == "WRITENODELIST") {
        writeNodelistCommand(run);
    } else if (k == "SHOWNODELIST") {
        showNodelistCommand(run);
    } else if (k == "READTEDS") {
        readTeds(run);
    } else if (k == "LISTFULLTEDS") {
        listFullTedsCommand(run, p);
    } else if (k == "WRITETEDS") {
        writeTedsCommand(run);
    } else if (k == "READ_DS2406_PIO") {
        std::string id = host_.ActualNodeID();
        if (!selectedNode.empty()) {
            const int node = requireNode(run);
            if (node < 0)
                return;
            id = shell::record(node)->id;
        }
        bool ok = false;
        Read_DS2406_PIO(id, ok);
        run.success = ok;
        run.deviceRequest = run.commandRan = true;
    } else if (k == "SET_DS2406_PIOAB_00" || k == "SET_DS2406_PIOAB_01" || k == "SET_DS2406_PIOAB_10" ||
               k == "SET_DS2406_PIOAB_11") {
        const std::string digits = k.substr(17);
        setPio(run, digits[0] == '1', digits[1] == '1', digits);
    } else if (k == "DELETE_MEMORY") {
        deleteMemory(run);
    } else if (k == "EXIT") {
        run.exitRequested = true;
        run.deviceRequest = true;
    } else if (k.empty()) {
        // An empty line.
    } else {
        addLog("Error in TEDS_req.txt file, in line  : " + std::to_string(run.lineNo));
        run.deviceRequest = false;
        run.abort = true;
    }
}

void RequestEngine::selectByFamily(Run& run)
{
    int count = 0;
    int last = -1;
    for (int i = 0; i <= shell::TrLast(); ++i) {
        const auto* r = shell::record(i);
        if (r->aging && r->family == RequestFamily) {
            ++count;
            last = i;
        }
    }
    if (count == 1) {
        selectedNode = shell::record(last)->id;
        return;
    }
    addLog(count == 0 ? "Error: Device specified not found" : "Error: More than one device found");
    run.abort = true;
}

int RequestEngine::indexOfNode(const std::string& id)
{
    if (id.empty())
        return -1;
    int any = -1;
    for (int i = 0; i <= shell::TrLast(); ++i) {
        const auto* r = shell::record(i);
        if (r->id != id)
            continue;
        // The memory record of a dual switch, not its extra switch record.
        if (r->aging)
            return i;
        if (any < 0)
            any = i;
    }
    return any;
}

int RequestEngine::requireNode(Run& run)
{
    if (selectedNode.empty()) {
        addLog("UTID and/or Node not specified in request");
        run.abort = true;
        return -1;
    }
    const int node = selectedIndex();
    if (node < 0) {
        addLog("Error: Selected node lost !");
        run.abort = true;
    }
    return node;
}

shell::NodeWindow& RequestEngine::windowAt(int index) const
{
    auto* r = shell::record(index);
    if (!r || !r->obj || r->obj->unloaded())
        throw std::logic_error("node " + std::to_string(index) + " has no window");
    return *r->obj;
}

} // namespace server
