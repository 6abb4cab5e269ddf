// The request server in Scanning mode, the mode after "Activate interface", on virtual time
// with the program's two timers as Qt fires them: the job queue's 1000 ms tick, whose scan
// pass lets the poll tick in, and the server's poll. Whatever their phase and whatever the
// poll time, every request is answered within a poll period and the time the jobs take:
// a poll tick that comes while the queue ticks starts its request right after that tick.

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/resetallstate.h"
#include "device/drivers/driverstate.h"
#include "platform/base/scopedhook.h"
#include "tests/server/engine/serverfixture.h"
#include "tests/shell/mainwindow/mainffixture.h"
#include "tests/support/virtualtimers.h"

#include "core/lists/manufacturerlist.h"

#include <QTimer>

namespace {

using namespace std::chrono_literals;
using platform::Micros;
using platform::Millis;

// The request server window as the main window opens it: loading it starts the engine.
struct ServerWindow final : shell::RequestServerWindow {
    explicit ServerWindow(std::function<void()> load) : load_(std::move(load)) {}
    void show() override { load_(); }
    void unload() override {}
    std::function<void()> load_;
};

class ServerScanning : public mainf_test::MainFTestOf<app::resetAllState> {
protected:
    ServerScanning()
    {
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        core::setMessageSuppressor(&engine);
        engine.nowText = &server_test::fixedNow;
        std::string error;
        EXPECT_TRUE(network()->loadFile(testing_support::dataDir() / "demo-network.txt", error)) << error;
        host.pollTimer = [this](bool on, int ms) { pollTimerChanged(on, ms); };
        std::filesystem::create_directories(work);
    }
    ~ServerScanning() override
    {
        auto& q = shell::jobQueue();
        q.scheduleRun = nullptr;
        q.enableTimer = nullptr;
        q.reset();
        shell::releaseAllNodes();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        windows.releaseShared();
        core::setMessageSuppressor(nullptr);
    }

    // Settings of a serving window with poll time pollTime; the window loads, then Setup >
    // "ComPort" > "Com1", "microLAN driver" > the demo adaptor, "Activate interface", and
    // once the scan has filled the tree, Setup > "T-block Server". The poll timer's first
    // timeout comes offset after the queue's next tick.
    void startServing(const std::string& pollTime, Millis offset)
    {
        pollOffset = offset;
        setting("T-block workdir", work.string());
        setting("T-block server enabled", "1");
        setting("T-block pooltime", pollTime);
        formLoad();
        // The program's two timers, on virtual time.
        main->ProcessJobQue->stop();
        auto& q = shell::jobQueue();
        q.enableTimer = [this] {
            if (!timers.active(tickTimer))
                tickTimer = timers.start(1000ms, [this] { main->ProcessJobQue_Timer(); });
        };
        q.enableTimer();
        q.scheduleRun = [this] { timers.singleShot(0ms, [this] { main->RunPostedJobs(); }); };
        main->mnuIF_p_Com[1]->trigger();
        main->mnuIF_p_Driver[shell::kDriverDemo]->trigger();
        main->MnuSetupIF[0]->trigger();
        ASSERT_TRUE(timers.runUntil([] { return shell::TrLast() + 1 == 8; }, 10s));
        ASSERT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
        main->MnuSetupIF[4]->trigger();
        ASSERT_TRUE(engine.ServerTimerEnabled);
        pollMs = engine.pollIntervalMs;
        // Serving: the poll has looked once.
        ASSERT_TRUE(timers.runUntil([this] { return polls > 0; }, Millis(pollMs) + 2s));
    }
    // As T_server's QTimer: stopped, or (re)started from now; while the window loads its
    // phase is the one the test chose.
    void pollTimerChanged(bool on, int ms)
    {
        timers.stop(pollTimer);
        if (!on)
            return;
        const auto first = loading ? timers.nextDue(tickTimer) + pollOffset : clock.now() + Millis(ms);
        pollTimer = timers.start(Millis(ms), [this] {
            ++polls;
            engine.ServerTimer_Timer();
        }, first);
    }
    // Sends the request and waits for the ack to go; the virtual time it took, or nothing.
    std::optional<Millis> answer(const std::vector<std::string>& lines)
    {
        const auto start = clock.now();
        client.send(testing_support::RequestClient::requestText(lines));
        if (!timers.runUntil([this] { return !client.ackPresent(); }, Millis(pollMs) + 30s))
            return std::nullopt;
        return std::chrono::duration_cast<Millis>(clock.now() - start);
    }
    // A LISTFULLTEDS of the accelerometer's TEDS, answered right and within a poll period
    // and what the jobs take: a scan pass that may be running, and the request's own pass
    // with its five TEDS reads, 50 ms start wait each (under 500 ms here).
    void listAccelerometer(const std::string& name)
    {
        SCOPED_TRACE(name);
        const auto took = answer({"REQUESTDATETIME " + name, "FAMILY 35", "LISTFULLTEDS"});
        ASSERT_TRUE(took) << "not answered; log:\n" << engine.status;
        EXPECT_LE(took->count(), pollMs + 500);
        const auto lines = client.responseLines();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines.front(), "Requestdatetime " + name);
        EXPECT_EQ(lines.back(), "Checksum is ok");
    }

    testing_support::VirtualTimers timers{clock, Micros(1000)};
    int tickTimer = 0;
    int pollTimer = 0;
    Millis pollOffset{0};
    int pollMs = 0;
    int polls = 0;
    bool loading = false;
    std::filesystem::path work = dir / "work";
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory windows{others};
    app::KeptWindowHook windowsKept{windows};
    server_test::Host host{*main, windows};
    server::RequestEngine engine{host, host};
    server_test::Neighbours neighbours{engine};
    ServerWindow serverWindow{[this] {
        loading = true;
        if (!engine.loaded)
            engine.Form_Load();
        loading = false;
    }};
    testing_support::RequestClient client{work};
    // In place of the fixture's: the TEDS windows, the request server's window, the graveyard
    // collected on virtual time; the drivers see the node list.
    platform::ScopedHook<shell::NodeWindowFactory*> windowsHook{&shell::setNodeWindowFactory, &windows, &factory};
    platform::ScopedHook<device::DriverNodeList*> driverNodes{&device::setDriverNodeList, &shell::driverNodeList()};
    platform::ScopedHook<shell::RequestServerWindow*> serverHook{&shell::setRequestServerWindow, &serverWindow, &server};
    platform::ScopedHook<std::function<void(int)>> collect{
        &shell::setCollectScheduler, [this](int ms) { timers.singleShot(Millis(ms), [] { shell::collectDeferred(); }); },
        [](int) {}};
    app::EditorWiring editorWiring{{.neighbours = &neighbours}};
};

class DefaultPoll : public ServerScanning, public ::testing::WithParamInterface<int> {};

TEST_P(DefaultPoll, TwentyRequestsInARowAreAllAnswered)
{
    startServing("1.0", Millis(GetParam()));
    for (int i = 1; i <= 20; ++i)
        listAccelerometer("r" + std::to_string(i));
    EXPECT_TRUE(box.shown.empty());
}

// Poll timeouts at the tick's own moment (it goes first), inside its scan pass, after it
// and just before the next one.
INSTANTIATE_TEST_SUITE_P(PhaseAfterTheTick, DefaultPoll, ::testing::Values(0, 4, 30, 500, 999));

TEST_F(ServerScanning, EveryPollTimeFromTheShortestToTheLongestAnswers)
{
    for (const char* pollTime : {"0.1", "0.5", "2.5", "65.5"}) {
        SCOPED_TRACE(pollTime);
        if (engine.loaded) {
            engine.PoolTime_Change(pollTime);
            engine.PoolTime_Commit();
            pollMs = engine.pollIntervalMs;
        } else {
            startServing(pollTime, 0ms);
        }
        for (int i = 1; i <= 3; ++i)
            listAccelerometer(std::string(pollTime) + "/" + std::to_string(i));
    }
}

} // namespace
