#pragma once
// The request server without widgets: the settings, the controls, the poll tick, the
// activity log and the request state; the working folder's three files (TEDS_req.txt,
// TEDS_ack.txt, TEDS_res.txt) are RequestFiles, one request line by line is RequestRun,
// its keywords are the keyword table's handlers. It calls the rest of the program
// through ServerHost and tells its window what to show through ServerView; the window
// T_server forwards its control events; tests drive it directly.
//
// A client writes TEDS_req.txt, then creates TEDS_ack.txt. A poll tick that finds the
// acknowledge file removes the response of the request before, turns the poll off,
// drops the node list and queues a fresh scan and then the server's RunRequest, which runs
// the request; they run at the next turn of the event loop. A poll tick that comes while
// the job queue ticks (a scan pass, a job) starts the request right after that tick. The
// run writes TEDS_res.txt and the log and deletes TEDS_ack.txt as its very last file
// step: the response is complete. The poll comes back only when the run has ended, so a
// request runs once. With the amplifier link chosen, a request holding SELECT_CHANNEL
// runs in two parts: RunRequest only selects the channel and queues the amplifier window's
// scan and TEDS read, then ResumeRequest carries out every other line, once.
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
#include "server/engine/activitylog.h"
#include "server/engine/requestfiles.h"
#include "server/engine/requestrun.h"
#include "server/engine/serverhost.h"
#include "server/engine/serverview.h"
#include "shell/jobs/jobtarget.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace server {

namespace fs = std::filesystem;

// The longest REQUESTDATETIME text (it is echoed in every answer).
inline constexpr std::size_t kRequestDateTimeMax = 256;
// The activity log keeps its last lines, at most this many and this many bytes.
inline constexpr std::size_t kLogLinesMax = 2000;
inline constexpr std::size_t kLogBytesMax = 1 << 20;
// The answer to an ack found when the window loads.
inline constexpr const char* kNotAnswered =
    "Error: request not answered: TEDS_ack.txt was there when the server started; the request may have been "
    "carried out in part or in full, send it again";

// The jobs of the server (job target "T_server").
enum ServerJob : int {
    // Carries out the request.
    RunRequest = 0,
    // Carries out the request after its channel was selected (every line but SELECT_CHANNEL).
    ResumeRequest = 1,
};

class RequestEngine final : public shell::JobTarget, public core::MessageSuppressor, public ActivityLog {
public:
    // host: the rest of the program; view: the server window. Both kept by the caller.
    RequestEngine(ServerHost& host, ServerView& view);

    // --- JobTarget: ServerJob ----------------------------------------------------------------
    void DoJob() override;
    std::string name() const override { return "T_server"; }

    // --- MessageSuppressor, ActivityLog -----------------------------------------------------
    // Loaded with the server enabled.
    bool suppressing() override { return loaded && T_block_Server == 1; }
    // Keeps the last kLogLinesMax lines (kLogBytesMax bytes); the window shows each.
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

    // --- Files --------------------------------------------------------------------------------
    // Deletes the ack file; false when it is there and cannot be deleted (then every poll
    // tries again, and no request runs until it is gone).
    bool Kill_ackFile();
    fs::path file(const char* name) const { return files_.file(name); }

    // --- The request ----------------------------------------------------------------------
    // One run of the request (RequestRun), then its ack deleted and the poll back on.
    void processRequestfile(bool resume);
    // The generator's id list as the response (the generator's own list request).
    void listNodelist(bool& ok);
    // A line of a called window for the log and the response (Delete_memory's errors).
    void requestReport(const std::string& line);

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
    void setTimer(bool enabled);
    void restoreTimer() { setTimer(T_block_Server == 1); }
    // Ends a request that is not carried out: answer (when given) written, ack deleted;
    // what cannot be done now is tried again at every poll. True when done.
    bool finish(std::optional<std::string> answer);
    bool finishPending();
    // Ends the program once the request's ack has gone.
    void exitProgram();

    ServerHost& host_;
    ServerView& view_;
    RequestFiles files_{WorkingDir, *this};
    RequestRun run_;
    // A poll tick met a running tick: the request starts right after it.
    bool startDeferred_ = false;
    std::size_t logLines_ = 0;                // lines in status
    bool exitAfterFinish_ = false;
};

} // namespace server
