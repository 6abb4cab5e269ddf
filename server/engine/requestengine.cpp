#include "server/engine/requestengine.h"

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"
#include "server/engine/keywords.h"
#include "server/engine/requestlines.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"

#include <chrono>
#include <ctime>


namespace server {

namespace {

constexpr const char* kKeyWorkdir = "T-block workdir";
constexpr const char* kKeyEnabled = "T-block server enabled";
constexpr const char* kKeyEditorVisible = "T-block server EditorVisible";
constexpr const char* kKeyPoolTime = "T-block pooltime";

fs::path withSeparator(const fs::path& dir)
{
    std::string s = dir.string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

} // namespace

RequestEngine::RequestEngine(ServerHost& host, ServerView& view)
    : host_(host), view_(view), run_(*this, host, view, files_)
{
}

std::string RequestEngine::defaultNowText()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

void RequestEngine::DoJob()
{
    const auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    switch (q.head().subno) {
    case RunRequest:
        processRequestfile(false);
        break;
    case ResumeRequest:
        processRequestfile(true);
        break;
    default:
        view_.ownMessage("No such job in T-Server");
        break;
    }
}

void RequestEngine::addLog(const std::string& text)
{
    status += text + "\r\n";
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++logLines_;
    ++logLines_;
    // The oldest lines go, a quarter of the limit at a time (not on every line).
    if (logLines_ > kLogLinesMax + kLogLinesMax / 4 || status.size() > kLogBytesMax + kLogBytesMax / 4) {
        std::size_t cut = 0;
        while (cut < status.size() && (logLines_ > kLogLinesMax || status.size() - cut > kLogBytesMax)) {
            const auto end = status.find("\r\n", cut);
            cut = end == std::string::npos ? status.size() : end + 2;
            --logLines_;
        }
        status.erase(0, cut);
    }
    view_.logAppended(text);
}

// --- Window life and settings ------------------------------------------------------------

void RequestEngine::Form_Load()
{
    WorkingDir = withSeparator(core::coreState().ProgramFolder);
    loaded = true;
    GetDefault();
    host_.setMainWindowVisible(EditorVisible == 1);
    auto& f = files_.folder();
    f.removeLeftovers();
    // A request that is pending now was not answered by this program: it did not run,
    // or it ended during the request. Its answer says so before its ack goes.
    if (f.exists(kAckFile))
        finish(std::string(kNotAnswered) + "\r\n");
}

bool RequestEngine::Form_Unload()
{
    if (!loaded)
        return false;
    SaveToRegBase();
    setTimer(false);
    loaded = false;
    return !host_.mainWindowVisible();
}

void RequestEngine::unload()
{
    if (Form_Unload())
        host_.endProgram();
}

void RequestEngine::closeBox()
{
    if (!Form_Unload())
        return;
    // The server is unloaded, so the questions about unsaved TEDS changes reach the user; a
    // program that goes on shows its main window.
    if (!host_.mayEndProgram()) {
        host_.setMainWindowVisible(true);
        return;
    }
    host_.endProgram();
}

void RequestEngine::GetDefault()
{
    const auto& ini = core::coreState().IniPath;
    std::string text;
    if (core::Inifile_Read_String_Value(ini, kKeyWorkdir, text) == core::IniFound && !text.empty())
        WorkingDir = withSeparator(text);
    int value = 0;
    if (core::Inifile_Read_Integer_Value(ini, kKeyEnabled, value) == core::IniFound)
        T_block_Server_Click(value == 1 ? 1 : 0);
    if (core::Inifile_Read_Integer_Value(ini, kKeyEditorVisible, value) == core::IniFound)
        EditorVisible = value == 1 ? 1 : 0;
    const bool found = core::Inifile_Read_String_Value(ini, kKeyPoolTime, text) == core::IniFound;
    PoolTime = !found || core::numeric::Val(text) <= 0 ? "1.0" : text;
    // A stored time is committed like a typed one: it cannot leave the 100 .. 65535 ms range.
    PoolTime_Commit();
}

void RequestEngine::SaveToRegBase()
{
    const auto& ini = core::coreState().IniPath;
    core::Inifile_CreateKeyWithValue(ini, kKeyWorkdir, WorkingDir.string());
    core::Inifile_CreateKeyWithValue(ini, kKeyEnabled, T_block_Server);
    core::Inifile_CreateKeyWithValue(ini, kKeyEditorVisible, EditorVisible);
    core::Inifile_CreateKeyWithValue(ini, kKeyPoolTime, PoolTime);
}

// --- Controls ----------------------------------------------------------------------------

void RequestEngine::T_block_Server_Click(int value)
{
    T_block_Server = value == 1 ? 1 : 0;
    setTimer(T_block_Server == 1);
}

void RequestEngine::EditorVisible_Click(int value)
{
    EditorVisible = value == 1 ? 1 : 0;
    host_.setMainWindowVisible(EditorVisible == 1);
    if (EditorVisible == 0)
        host_.postMainJob(shell::SetCommModeOptions, shell::kModePaused);
}

void RequestEngine::acknowledge_Click()
{
    files_.folder().writeAtomic(kAckFile, "file created " + nowText() + "\r\n");
}

void RequestEngine::cbClearLog_Click()
{
    status.clear();
    logLines_ = 0;
    view_.logCleared();
}

void RequestEngine::Browse_Chosen(const std::string& fileName)
{
    const auto slash = fileName.rfind('/');
    if (slash == std::string::npos || fileName.find('.') == std::string::npos) {
        view_.ownMessage("Error in filename");
        return;
    }
    WorkingDir = fileName.substr(0, slash + 1);
}

void RequestEngine::PoolTime_Change(const std::string& text)
{
    PoolTime = text;
    if (const auto ms = typedPollInterval(text)) {
        pollIntervalMs = *ms;
        view_.pollTimerChanged(ServerTimerEnabled, pollIntervalMs);
    }
}

void RequestEngine::PoolTime_Commit()
{
    pollIntervalMs = committedPollInterval(PoolTime);
    PoolTime = pollTimeText(pollIntervalMs);
    view_.pollTimerChanged(ServerTimerEnabled, pollIntervalMs);
}

void RequestEngine::setTimer(bool enabled)
{
    ServerTimerEnabled = enabled;
    view_.pollTimerChanged(enabled, pollIntervalMs);
}

// --- The poll tick -------------------------------------------------------------------------

void RequestEngine::ServerTimer_Timer()
{
    if (!ServerTimerEnabled)
        return;
    try {
        std::error_code ec;
        if (!fs::is_directory(WorkingDir, ec))
            throw std::runtime_error("no working directory");
        // The request before is not finished until its ack has gone.
        if (!finishPending())
            return;
        if (!files_.folder().exists(kAckFile))
            return;
        auto& q = shell::jobQueue();
        if (q.ticking()) {
            // The nodes are not dropped under a running scan or job: the request starts as
            // soon as that tick has returned, not at a later poll, which a tick of the same
            // period could meet every time.
            if (!startDeferred_) {
                startDeferred_ = true;
                q.whenNoTick([this, alive = handle()] {
                    if (!alive.lock())
                        return;
                    startDeferred_ = false;
                    ServerTimer_Timer();
                });
            }
            return;
        }
        // Jobs posted now would be dropped (a modal window is open): the ack stays, and the
        // next poll tries again.
        if (!q.JobsEnabled() || shell::scanRunning())
            return;
        switch (files_.prepare()) {
        case RequestFiles::Start::Ready:
            break;
        case RequestFiles::Start::Wait:
            return;
        case RequestFiles::Start::Refused:
            finish(std::nullopt);
            return;
        }
        setTimer(false);
        if (!files_.folder().exists(kRequestFile)) {
            addLog("Error request file not found: TEDS_req.txt");
            files_.writeLogAsResponse(status);
            Kill_ackFile();
            restoreTimer();
            return;
        }
        shell::removeAllTransducers();
        host_.setSelectedNodeID("");
        // Run at the next turn of the event loop, in this order: job 1 refills the list in
        // one pass (job 6 then finds it refilled), or, on the amplifier link, job 6 does.
        if (!host_.amplifierLinkChosen())
            host_.postMainJob(shell::RescanAll, 0);
        host_.postMainJob(shell::ScanUnlessRefilled, 0);
        q.Insert_In_JobQue(*this, RunRequest, 0LL);
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception&) {
        T_block_Server_Click(0);
        addLog("Directory not found, server disabled");
    }
}

bool RequestEngine::finish(std::optional<std::string> answer)
{
    files_.endWith(std::move(answer));
    return finishPending();
}

bool RequestEngine::finishPending()
{
    if (!files_.completeEnd())
        return false;
    if (exitAfterFinish_)
        exitProgram();
    return true;
}

void RequestEngine::exitProgram()
{
    exitAfterFinish_ = false;
    Form_Unload();
    host_.endProgram();
}

// --- The request ---------------------------------------------------------------------------

void RequestEngine::processRequestfile(bool resume)
{
    const auto end = run_.carryOut(resume);
    if (end == RequestRun::End::Suspended)
        return;
    const bool finished = Kill_ackFile();
    restoreTimer();
    if (end == RequestRun::End::Exit) {
        // The program ends once the client has its answer: now, or when the ack has gone.
        exitAfterFinish_ = !finished;
        if (finished)
            exitProgram();
    }
}

bool RequestEngine::Kill_ackFile()
{
    if (finish(std::nullopt))
        return true;
    // The client would wait for ever, and the next tick must not run the request again.
    addLog("Error: TEDS_ack.txt cannot be deleted, tried again at every poll");
    return false;
}

void RequestEngine::listNodelist(bool& ok) { keywords::listNodelist(run_, ok); }

void RequestEngine::requestReport(const std::string& line) { run_.report(line); }

} // namespace server
