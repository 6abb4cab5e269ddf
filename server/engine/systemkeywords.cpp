// The keywords about the request itself: its date and time, ROM programming, the
// version, the log and the end of the program.

#include "core/base/textfile.h"
#include "device/drivers/driverstate.h"
#include "server/engine/keywords.h"
#include "server/engine/requestengine.h"
#include "server/engine/requestrun.h"

namespace server::keywords {

void requestDateTime(RequestRun& run, const std::string& parameter)
{
    // Echoed in every log line and answer of the request: a long text is refused.
    if (parameter.size() > kRequestDateTimeMax) {
        run.log("Error: REQUESTDATETIME is longer than " + std::to_string(kRequestDateTimeMax) +
                " characters, in line: " + std::to_string(run.lineNo));
        run.abort = true;
        return;
    }
    run.engine.RequestDateTime = parameter;
}

void allowRomProgramming(RequestRun& run, const std::string&)
{
    run.engine.AllowRomProgramming = true;
    device::driverState().RomProgrammingAllowed = true;
}

void version(RequestRun& run, const std::string& parameter)
{
    run.versionGiven = true;
    if (core::upper(parameter) != "V0.9X") {
        run.log("Error: only IEEE version supported: V0.9X");
        run.abort = true;
    }
}

void clearLog(RequestRun& run, const std::string&) { run.engine.cbClearLog_Click(); }

void exitProgram(RequestRun& run, const std::string&)
{
    run.exitRequested = true;
    run.deviceRequest = true;
}

void ignore(RequestRun&, const std::string&) {}

} // namespace server::keywords
