// RequestEngine: a request that meets a shorted adapter bus, or an adapter that cannot be
// reached, answers with that error (not as an empty network).

#include "server/engine/requestengine.h"

#include "device/onewire/tmexerror.h"
#include "server/engine/requestlines.h"

namespace server {

bool RequestEngine::busFaultAnswers(Run& run, const std::vector<std::string>& lines)
{
    if (host_.amplifierLinkChosen())
        return false;
    std::string fault = device::busFault();
    if (fault.empty())
        fault = device::adapterFault();
    if (fault.empty())
        return false;
    addLog("Error: " + fault);
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (!lines[i].empty() && lines[i][0] != '%' && parseKeywordLine(lines[i]).keyword == "EXIT")
            run.exitRequested = true;
    return true;
}

} // namespace server
