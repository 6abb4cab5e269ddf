#pragma once
// The handlers of the request keywords, by group; the keyword table names which keyword
// each one carries out. A handler gets the run and the line's parameter; it logs, answers
// and sets the run's flags (abort, success, device request) as its keyword asks.

#include <string>
#include <vector>

namespace server {

class RequestRun;

namespace keywords {

// --- The request itself (systemkeywords.cpp) -------------------------------------------------
void requestDateTime(RequestRun& run, const std::string& parameter);
void allowRomProgramming(RequestRun& run, const std::string& parameter);
void version(RequestRun& run, const std::string& parameter);
void clearLog(RequestRun& run, const std::string& parameter);
void exitProgram(RequestRun& run, const std::string& parameter);
// An empty line, and a line carried out before the run (SELECT_CHANNEL).
void ignore(RequestRun& run, const std::string& parameter);

// --- Node selection (selectionkeywords.cpp) -----------------------------------------------------
void family(RequestRun& run, const std::string& parameter);
void device(RequestRun& run, const std::string& parameter);
void nodeId(RequestRun& run, const std::string& parameter);
void utid(RequestRun& run, const std::string& parameter);

// --- TEDS (tedskeywords.cpp) ----------------------------------------------------------------------
void readTeds(RequestRun& run, const std::string& parameter);
void listFullTeds(RequestRun& run, const std::string& parameter);
void writeTeds(RequestRun& run, const std::string& parameter);
void deleteMemory(RequestRun& run, const std::string& parameter);

// --- The node-list generator (nodelistkeywords.cpp) ------------------------------------------------
void clearNodeList(RequestRun& run, const std::string& parameter);
void addNode(RequestRun& run, const std::string& parameter);
void addNodes(RequestRun& run, const std::string& parameter);
void readNodes(RequestRun& run, const std::string& parameter);
void listNodeList(RequestRun& run, const std::string& parameter);
void writeNodeList(RequestRun& run, const std::string& parameter);
void showNodeList(RequestRun& run, const std::string& parameter);
// The generator's id list as the whole response; ok when written. Also the generator's
// answer to a list request of its own.
void listNodelist(RequestRun& run, bool& ok);

// --- Channels: the amplifier's and the dual switch's (channelkeywords.cpp) --------------------------
void readPio(RequestRun& run, const std::string& parameter);
void setPio00(RequestRun& run, const std::string& parameter);
void setPio01(RequestRun& run, const std::string& parameter);
void setPio10(RequestRun& run, const std::string& parameter);
void setPio11(RequestRun& run, const std::string& parameter);
// The first run of a request holding SELECT_CHANNEL (amplifier link chosen): selects
// the channel and queues the amplifier's rescan and the resume run. False when the
// request holds none; an unknown channel or a refused one aborts the run.
bool selectChannelFirst(RequestRun& run, const std::vector<std::string>& lines);

} // namespace keywords
} // namespace server
