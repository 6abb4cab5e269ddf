#pragma once
// One request, line by line: TEDS_req.txt read whole, its version line checked, the
// request state reset, each further line carried out (a tag line on the selected node's
// TEDS window, a keyword line through the keyword table), and its end: the answer (the
// whole log when no command wrote one) and the "completed succesfully"/"failed" line.
// The engine then deletes the ack and turns the poll back on. The request state its
// lines set (RequestFamily, ...) is the engine's; the run keeps the working values of
// one run and what every keyword handler shares: node lookups and the response frame.

#include "server/engine/requestfiles.h"
#include "server/engine/serverhost.h"
#include "server/engine/serverview.h"

#include <string>
#include <vector>

namespace shell {
class NodeWindow;
}

namespace server {

class RequestEngine;

class RequestRun {
public:
    // All kept by the caller (the engine).
    RequestRun(RequestEngine& e, ServerHost& h, ServerView& v, RequestFiles& f) : engine(e), host(h), view(v), files(f)
    {
    }

    // How a run ended: a request holding SELECT_CHANNEL on the amplifier link stops after
    // the channel is selected (its ack stays, the resume run is queued); otherwise the
    // request is answered, and ended the program when it asked to (EXIT).
    enum class End { Suspended, Answered, Exit };
    // Carries the request out; resume: the run after the channel was selected.
    End carryOut(bool resume);

    // --- Shared by the keyword handlers ----------------------------------------------------
    void log(const std::string& text);
    // The selected node's record index; -1 with "Error: Selected node lost !" (abort) when
    // it went, or with "UTID and/or Node not specified in request" (abort) when none.
    int requireNode();
    // The record of the node the request selected; -1 when none or gone.
    int selectedIndex() const { return indexOfNode(selectedNode()); }
    const std::string& selectedNode() const;
    // The record of node id (its memory record for a dual switch); -1 when not listed.
    static int indexOfNode(const std::string& id);
    // The window of record index; std::logic_error when it has none.
    shell::NodeWindow& windowAt(int index) const;
    // The answer's first lines: "Requestdatetime ...", "Device ..." (each when given).
    std::vector<std::string> headerLines() const;
    // "Request (<date time>) for <command> : <now>".
    std::string logHeader(const std::string& command) const;
    // The frame of the commands that append line by line: the response emptied, the
    // header appended; false ("Error: Can't write requestfile" logged) when not writable.
    bool openFrame(const std::string& command);
    // One line appended to the response; one logged and appended.
    void append(const std::string& line);
    void report(const std::string& line);
    // The server window takes the focus back, while the main window is shown.
    void focusBack();

    RequestEngine& engine;
    ServerHost& host;
    ServerView& view;
    RequestFiles& files;

    // Working values of one run, reset at its start.
    bool resume = false;
    int lineNo = 0;
    bool abort = false;
    bool deviceRequest = false;  // a command wrote the response
    bool commandRan = false;     // a command other than EXIT ran
    bool success = false;
    bool exitRequested = false;
    bool versionGiven = false;

private:
    void reset(bool resumeRun);
    void errorPath();
    End endRequest();
    void tagLine(const std::string& line);
    void keywordLine(const std::string& line);
    // The adapter's line is shorted (the request's scan met it) or the adapter cannot be
    // reached: the request is answered with that error instead of its lines (an EXIT
    // among them still ends the program).
    bool lineFaultAnswers(const std::vector<std::string>& lines);
};

} // namespace server
