#pragma once
// The request server without widgets: the working directory with its three files
// (TEDS_req.txt, TEDS_ack.txt, TEDS_res.txt), the settings, the poll tick, the activity
// log and one request run (processRequestfile) with its response writers. It calls the
// rest of the program through ServerHost and tells its window what to show through
// ServerView; the window T_server forwards its control events; tests drive it directly.
//
// A client writes TEDS_req.txt, then creates TEDS_ack.txt. A poll tick that finds the
// acknowledge file removes the response of the request before, turns the poll off,
// drops the node list and queues a fresh scan and then job 0 of the server, which runs
// the request; they run at the next turn of the event loop. A poll tick that comes while
// the job queue ticks (a scan pass, a job) starts the request right after that tick. The
// run writes TEDS_res.txt and the log and deletes TEDS_ack.txt as its very last file
// step: the response is complete. The poll comes back only when the run has ended, so a
// request runs once. With the amplifier link chosen, a request holding SELECT_CHANNEL
// runs in two parts: job 0 only selects the channel and queues the amplifier window's
// scan and TEDS read, then job 1 carries out every other line, once.
//
// A response belongs to exactly one request. Every file is written whole through the
// working folder's temporary file and a rename (WorkFolder), never through a link. An
// ack found when the window loads (a request the program did not answer: it was not
// running, or it ended during the request) is answered with kNotAnswered. A request is
// carried out only when its response can be written: with TEDS_res.txt a directory it
// is not carried out and its ack is deleted (the client finds no readable response);
// in a folder where no file can be made it waits, ack and all, until one can. An ack
// that cannot be deleted is tried again at every poll; no request runs meanwhile.

#include "core/base/message.h"
#include "core/tdl/currency.h"
#include "core/teds/tedsbuf.h"
#include "server/engine/serverhost.h"
#include "server/engine/serverview.h"
#include "server/engine/workfolder.h"
#include "shell/jobs/jobtarget.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace shell {
class NodeWindow;
}

namespace server {

namespace fs = std::filesystem;

inline constexpr const char* kRequestFile = "TEDS_req.txt";
inline constexpr const char* kAckFile = "TEDS_ack.txt";
inline constexpr const char* kResponseFile = "TEDS_res.txt";

// A request file is a few lines: a larger one is refused.
inline constexpr std::size_t kRequestFileMax = 16384;
// The longest REQUESTDATETIME text (it is echoed in every answer).
inline constexpr std::size_t kRequestDateTimeMax = 256;
// The activity log keeps its last lines, at most this many and this many bytes.
inline constexpr std::size_t kLogLinesMax = 2000;
inline constexpr std::size_t kLogBytesMax = 1 << 20;
// The answer to an ack found when the window loads.
inline constexpr const char* kNotAnswered =
    "Error: request not answered: TEDS_ack.txt was there when the server started; the request may have been "
    "carried out in part or in full, send it again";

class RequestEngine final : public shell::JobTarget, public core::MessageSuppressor {
public:
    // host: the rest of the program; view: the server window. Both kept by the caller.
    RequestEngine(ServerHost& host, ServerView& view);

    // --- JobTarget: job 0 runs the request, job 1 resumes it ------------------------------
    void DoJob() override;
    std::string name() const override { return "T_server"; }

    // --- MessageSuppressor ------------------------------------------------------------------
    // Loaded with the server enabled.
    bool suppressing() override { return loaded && T_block_Server == 1; }
    void addLog(const std::string& text) override;

    // --- Window life ----------------------------------------------------------------------
    // Applies the settings, shows or hides the main window, deletes a stale ack file.
    void Form_Load();
    // Saves the settings and stops the poll. True when the program is to end now (the
    // main window is hidden); the caller ends it.
    bool Form_Unload();
    // The window unloaded: Form_Unload, then the program ends when the main window is hidden.
    void unload();
    // The window's close box: as unload, but a TEDS window holding changes that were neither
    // written nor saved keeps the program going, with the main window shown.
    void closeBox();
    void GetDefault();
    void SaveToRegBase();

    // --- Controls -------------------------------------------------------------------------
    void T_block_Server_Click(int value);
    void EditorVisible_Click(int value);
    // Creates the ack file by hand ("file created " & Now in it).
    void acknowledge_Click();
    void cbClearLog_Click();
    // A file chosen in the Browse dialog: its folder becomes the working directory.
    void Browse_Chosen(const std::string& fileName);
    // The poll time box: its text changed / the text was committed (Enter, focus left).
    void PoolTime_Change(const std::string& text);
    void PoolTime_Commit();
    // One tick of ServerTimer.
    void ServerTimer_Timer();

    // --- File helpers ---------------------------------------------------------------------
    // Creates or empties the file of the working folder that path names, up to four
    // attempts one second apart.
    void WaitFileWritable(const fs::path& path, bool& ok);
    // Appends one line to the response file.
    void WriteToRequestFile(const std::string& text, bool& ok);
    // Deletes the ack file; false when it is there and cannot be deleted (then every poll
    // tries again, and no request runs until it is gone).
    bool Kill_ackFile();
    fs::path file(const char* name) const { return WorkingDir / name; }
    // The working folder, opened for the current WorkingDir.
    WorkFolder& folder();

    // --- The request ----------------------------------------------------------------------
    void processRequestfile(bool resume);

    // --- State ----------------------------------------------------------------------------
    fs::path WorkingDir;            // the working directory
    int T_block_Server = 0;         // "Enable server"
    int EditorVisible = 1;          // "TEDS editor visible"
    std::string PoolTime = "1.0";   // the poll time box, seconds
    int pollIntervalMs = 1000;
    bool ServerTimerEnabled = false;
    std::string status;             // the activity log, CR LF after every line
    bool loaded = false;

    // Request state, reset at the start of every run.
    std::string RequestDateTime;
    std::string RequestDevice;
    long RequestFamily = -1;
    core::Currency RequestUTID = core::Currency::fromScaled(-core::Currency::kScale);
    bool AllowRomProgramming = false;
    // The id of the node this request selected ("" none); looked up again before each use.
    std::string selectedNode;

    // The current date and time as log lines show it (tests replace it).
    std::string (*nowText)() = &defaultNowText;
    static std::string defaultNowText();

private:
    // Working values of one run.
    struct Run {
        bool resume = false;
        int lineNo = 0;
        bool abort = false;
        bool deviceRequest = false;  // a command wrote the response
        bool commandRan = false;     // a command other than EXIT ran
        bool success = false;
        bool exitRequested = false;
        bool versionGiven = false;
    };

    void setTimer(bool enabled);
    void restoreTimer() { setTimer(T_block_Server == 1); }
    // Deletes the response file and writes the whole log into it (errors ignored).
    void writeLogAsResponse();
    // Writes lines as the whole response file; false (after the error report) on failure.
    bool writeResponse(const std::vector<std::string>& lines);
    // The response's lines, written whole.
    WorkFolder::Write commitResponse();
    // Before a request is started: the response of the request before goes, and the new
    // one must be writable. False when the request is not to start now.
    bool prepareRequest();
    // Ends a request that is not carried out: answer (when given) written, ack deleted;
    // what cannot be done now is tried again at every poll. True when done.
    bool finish(std::optional<std::string> answer);
    bool finishPending();
    // Ends the program once the request's ack has gone.
    void exitProgram();
    void reportResponseError();
    std::vector<std::string> headerLines() const;
    std::string logHeader(const std::string& command) const;
    void endRequest(Run& run);
    void errorPath(int lineNo);

    // One line of the request.
    void handleTagLine(Run& run, const std::string& line);
    void handleKeyword(Run& run, const std::string& line);
    void selectByFamily(Run& run);
    // The selected node's record index; -1 with "Error: Selected node lost !" (abort) when
    // it went, or with "UTID and/or Node not specified in request" (abort) when none.
    int requireNode(Run& run);
    int selectedIndex() const { return indexOfNode(selectedNode); }
    // The record of node id (its memory record for a dual switch); -1 when not listed.
    static int indexOfNode(const std::string& id);
    shell::NodeWindow& windowAt(int index) const;

    // Commands.
    void readTeds(Run& run);
    void listFullTedsCommand(Run& run, const std::string& parameter);
    void writeTedsCommand(Run& run);
    void setPio(Run& run, bool a, bool b, const std::string& digits);
    void deleteMemory(Run& run);
    void listNodelistCommand(Run& run);
    void writeNodelistCommand(Run& run);
    void showNodelistCommand(Run& run);
    // The first run of a request holding SELECT_CHANNEL (amplifier link chosen): selects
    // the channel and queues the amplifier's TEDS read and the resume run. False when the
    // request holds none; an unknown channel or a refused one aborts the run.
    bool selectChannelFirst(Run& run, const std::vector<std::string>& lines);
    // The adapter's bus is shorted (the request's scan met it): the request is answered
    // with that error instead of its lines (an EXIT among them still ends the program).
    bool busFaultAnswers(Run& run, const std::vector<std::string>& lines);
    // The frame of the commands that append line by line: header appended when writable.
    bool openFrame(const std::string& command);
    void append(const std::string& line);

public:
    // --- Response writers ------------------------------------------------------------------
    void findTEDS(int& node, bool& found);
    void listFullTEDS(int node, bool prefix, bool& ok);
    void writeTEDS(int node, bool& ok);
    void Read_DS2406_PIO(const std::string& id, bool& ok);
    // The generator's id list as the response; also its job 4.
    void listNodelist(bool& ok);
    // Writes the generator's list into the one device present.
    void WriteNodelistRequest(bool& ok);
    // Checks the node list a node's image holds; every line logged and appended.
    bool ShowNodelistRequest(const core::TedsBuf& image);

    // A line of a called window for the log and the response (Delete_memory's errors).
    void requestReport(const std::string& line);

private:
    ServerHost& host_;
    ServerView& view_;
    // A poll tick met a running tick: the request starts right after it.
    bool startDeferred_ = false;
    WorkFolder folder_;
    fs::path folderPath_;
    std::vector<std::string> responseLines_;  // what TEDS_res.txt holds, as this server wrote it
    std::size_t logLines_ = 0;                // lines in status
    // A request that ended but could not be finished (answer, ack) yet.
    bool finishing_ = false;
    std::optional<std::string> pendingAnswer_;
    bool exitAfterFinish_ = false;
    bool waitNoted_ = false;                  // the wait for a writable folder was logged
};

} // namespace server
