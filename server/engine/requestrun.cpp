#include "server/engine/requestrun.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/tmexerror.h"
#include "server/engine/keywords.h"
#include "server/engine/keywordtable.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestlines.h"
#include "shell/nodes/nodelist.h"

#include <stdexcept>

namespace server {

void RequestRun::reset(bool resumeRun)
{
    resume = resumeRun;
    lineNo = 0;
    abort = deviceRequest = commandRan = success = exitRequested = versionGiven = false;
}

RequestRun::End RequestRun::carryOut(bool resumeRun)
{
    reset(resumeRun);
    files.clearResponse();
    engine.AllowRomProgramming = false;
    device::driverState().RomProgrammingAllowed = false;
    try {
        // Read whole now: a client that rewrites the file later cannot mix two requests.
        std::string bytes;
        if (files.readRequest(bytes) != WorkFolder::Read::Ok)
            throw std::runtime_error("request file not read");
        const std::vector<std::string> lines = core::splitLines(bytes);
        if (lines.empty())
            throw std::runtime_error("request file not read");
        lineNo = 1;
        if (lines[0] != kRequestVersionLine) {
            log("Wrong version T-block server requestfile, required version: 1.0.0\r\n"
                "acknowledge ignored, request ignored");
            return End::Answered;
        }
        engine.RequestDateTime.clear();
        engine.RequestDevice.clear();
        engine.RequestFamily = -1;
        engine.RequestUTID = core::Currency::fromScaled(-core::Currency::kScale);
        engine.selectedNode.clear();
        if (!resume && host.amplifierLinkChosen() && keywords::selectChannelFirst(*this, lines))
            return End::Suspended;
        if (!abort)
            lineNo = 1;
        if (!abort && lineFaultAnswers(lines))
            abort = true;
        for (std::size_t i = 1; i < lines.size() && !abort; ++i) {
            ++lineNo;
            const std::string& line = lines[i];
            if (!line.empty() && line[0] == '%')
                tagLine(line);
            else
                keywordLine(line);
        }
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception&) {
        device::driverState().RomProgrammingAllowed = false;
        errorPath();
        return End::Answered;
    }
    return endRequest();
}

void RequestRun::errorPath()
{
    engine.AllowRomProgramming = false;
    log("Error in TEDS_req.txt file, in line : " + std::to_string(lineNo));
    files.writeLogAsResponse(engine.status);
}

RequestRun::End RequestRun::endRequest()
{
    engine.AllowRomProgramming = false;
    device::driverState().RomProgrammingAllowed = false;
    if (!deviceRequest) {
        log("Request is cancled: " + engine.nowText() + (abort ? "" : " due to incomplete request"));
        files.writeLogAsResponse(engine.status);
    }
    // EXIT does not throw away TEDS changes that were neither written nor saved: the
    // program goes on, and the response and the log say why.
    bool exitRefused = false;
    if (exitRequested && !host.mayEndProgram()) {
        exitRequested = false;
        exitRefused = true;
        const std::string why = "Error: EXIT not carried out: a TEDS window holds changes that were neither written "
                                "nor saved";
        log(why);
        bool ok = false;
        files.WriteToRequestFile(why, ok);
    }
    // EXIT alone completes a request; it does not turn a failure into a success.
    if (exitRequested && !commandRan && !abort)
        success = true;
    if (exitRefused && !commandRan)
        success = false;
    log("Request (" + engine.RequestDateTime + ")  " + (success ? "completed succesfully" : "failed"));
    return exitRequested ? End::Exit : End::Answered;
}

bool RequestRun::lineFaultAnswers(const std::vector<std::string>& lines)
{
    if (host.amplifierLinkChosen())
        return false;
    std::string fault = device::busFault();
    if (fault.empty())
        fault = device::adapterFault();
    if (fault.empty())
        return false;
    log("Error: " + fault);
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (!lines[i].empty() && lines[i][0] != '%' && parseKeywordLine(lines[i]).keyword == "EXIT")
            exitRequested = true;
    return true;
}

// --- Lines ----------------------------------------------------------------------------------

void RequestRun::tagLine(const std::string& line)
{
    const auto tag = parseTagLine(line);
    if (!tag) {
        log("Error in TEDS_req.txt file, in line  : " + std::to_string(lineNo));
        deviceRequest = false;
        abort = true;
        return;
    }
    const int node = requireNode();
    if (node < 0)
        return;
    std::string why;
    const int code = host.updateTAG(windowAt(node), tag->name, tag->index, tag->value, tag->noValue, why);
    if (code == 0)
        return;
    const std::string n = std::to_string(lineNo);
    if (code == 1)
        log("Error in assignment of tag in line: " + n + ", could not assign manufacturer");
    else if (code == 2)
        log("Error in assignment of tag in line: " + n + ", property not found");
    else if (code == 3)
        log("Error in assignment of tag in line: " + n + ", " + why + ", nothing written");
    else
        log("Error in assignment of tag in line: " + n);
    abort = true;
}

void RequestRun::keywordLine(const std::string& line)
{
    const KeywordLine kw = parseKeywordLine(line);
    if (const KeywordRow* row = findKeyword(kw.keyword)) {
        row->handle(*this, kw.parameter);
        return;
    }
    log("Error in TEDS_req.txt file, in line  : " + std::to_string(lineNo));
    deviceRequest = false;
    abort = true;
}

// --- Shared by the keyword handlers -----------------------------------------------------------

void RequestRun::log(const std::string& text) { engine.addLog(text); }

const std::string& RequestRun::selectedNode() const { return engine.selectedNode; }

int RequestRun::indexOfNode(const std::string& id)
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

int RequestRun::requireNode()
{
    if (selectedNode().empty()) {
        log("UTID and/or Node not specified in request");
        abort = true;
        return -1;
    }
    const int node = selectedIndex();
    if (node < 0) {
        log("Error: Selected node lost !");
        abort = true;
    }
    return node;
}

shell::NodeWindow& RequestRun::windowAt(int index) const
{
    auto* r = shell::record(index);
    if (!r || !r->obj || r->obj->unloaded())
        throw std::logic_error("node " + std::to_string(index) + " has no window");
    return *r->obj;
}

std::vector<std::string> RequestRun::headerLines() const
{
    std::vector<std::string> lines;
    if (!engine.RequestDateTime.empty())
        lines.push_back("Requestdatetime " + engine.RequestDateTime);
    if (!engine.RequestDevice.empty())
        lines.push_back("Device " + engine.RequestDevice);
    return lines;
}

std::string RequestRun::logHeader(const std::string& command) const
{
    return "Request (" + engine.RequestDateTime + ") for " + command + " : " + engine.nowText();
}

bool RequestRun::openFrame(const std::string& command)
{
    bool ok = false;
    files.WaitFileWritable(files.file(kResponseFile), ok);
    if (!ok) {
        log("Error: Can't write requestfile");
        return false;
    }
    append(logHeader(command));
    return true;
}

void RequestRun::append(const std::string& line)
{
    bool ok = false;
    files.WriteToRequestFile(line, ok);
}

void RequestRun::report(const std::string& line)
{
    log(line);
    append(line);
}

void RequestRun::focusBack()
{
    if (host.mainWindowVisible())
        view.takeFocus();
}

} // namespace server
