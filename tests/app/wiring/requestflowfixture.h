#pragma once
// The request server with the real main window and job queue on virtual time: the queue's
// 1000 ms tick, its run of posted jobs at the next turn and the server's poll are virtual
// timers fired as Qt fires timers (also inside the program's waits). The main window's
// jobs 1 and 6 do the scan on a simulated network behind a DS9097U; the TEDS windows'
// part of a request is a stub that counts what is asked of it. Search passes and Search
// ROM commands on the bus are counted.

#include "app/mainwindowhooks.h"
#include "app/nodewiring.h"
#include "app/resetallstate.h"
#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "device/onewire/onewirestate.h"
#include "platform/base/scopedhook.h"
#include "editor/nodelist/nodelistmodel.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "sim/serial/memoryserialport.h"
#include "server/engine/requestengine.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainf.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/qtapp.h"
#include "tests/support/requestclient.h"
#include "tests/support/quietserverhost.h"
#include "tests/support/quietserverview.h"
#include "tests/support/simadapter.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"
#include "tests/support/virtualtimers.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace requestflow {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing_support::RequestClient;

// Counts the steps and the ends of search passes.
class CountingBus final : public shell::ScanBus {
public:
    explicit CountingBus(shell::ScanBus& inner) : inner_(inner) {}
    shell::SearchStep findNext() override
    {
        ++steps;
        if (onStep)
            onStep(steps);
        shell::SearchStep s = inner_.findNext();
        if (!s.found)
            ++passEnds;
        return s;
    }
    std::optional<shell::TemperatureReading> readTemperature(int recordIndex) override
    {
        return inner_.readTemperature(recordIndex);
    }
    int steps = 0;
    int passEnds = 0;
    std::function<void(int step)> onStep;

private:
    shell::ScanBus& inner_;
};

// Resets of the bus directly followed by Search ROM (F0h).
inline int searchRomCount(const platform::sim::SimNetwork& net)
{
    int n = 0;
    const auto& t = net.transcript();
    for (std::size_t i = 0; i + 1 < t.size(); ++i)
        if (t[i].kind == platform::sim::BusEvent::Reset && t[i + 1].kind == platform::sim::BusEvent::Byte &&
            t[i + 1].written == 0xF0)
            ++n;
    return n;
}

class Flow;

class Host final : public testing_support::QuietServerHost, public testing_support::QuietServerView {
public:
    explicit Host(Flow& f) : f_(f) {}
    void postMainJob(shell::MainJob job, int param) override;
    bool amplifierLinkChosen() override { return amplifierLink; }
    void pollTimerChanged(bool enabled, int intervalMs) override;
    void logAppended(const std::string&) override;
    void logCleared() override { logAppended(""); }
    int updateTAG(shell::NodeWindow&, const std::string&, const std::string&, const std::string&, bool,
                  std::string&) override
    {
        return 0;
    }
    bool CreateNewTEDS_force(shell::NodeWindow&, const core::Currency&) override { return true; }
    std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool) override;
    bool WriteNode_s(shell::NodeWindow& w, std::string& why) override;
    std::string ActualNodeID() override { return actual; }
    void setActualNodeID(const std::string& id) override { actual = id; }
    void setSelectedNodeID(const std::string& id) override { selected = id; }
    bool Delete_memory() override { return false; }
    void ClearNodeList() override { if (generator) generator->ClearNodeList(); }
    void addNode(const std::string& id) override { if (generator) generator->addNode(id); }
    void AddNodes() override { if (generator) generator->AddNodes(); }
    void ReadNodes() override { if (generator) generator->ReadNodes(); }
    std::vector<std::string> nodeListIds() override { return generator ? generator->ID_list : std::vector<std::string>{}; }

    // The node-list generator, when the main window's job 1 is its UpdateNodes.
    editor::NodeListModel* generator = nullptr;
    bool amplifierLink = false;
    std::string actual, selected;
    int writes = 0;
    int listings = 0;
    // How long a node write takes (its waits let events run).
    std::chrono::milliseconds writeTime{0};
    std::function<void()> onLog;
    std::function<void()> onPollChange;
    std::function<void()> onWrite;  // a write begins

private:
    Flow& f_;
};

class Flow : public testing_support::VirtualServices {
public:
    // description: the simulated network (SimNetwork's text format).
    explicit Flow(const std::string& description, std::chrono::microseconds turnCost = 1ms)
        : VirtualServices(false), timers(clock, turnCost), host(*this), engine(host, host), client(work())
    {
        testing_support::ensureApplication();
        app::resetAllState();
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        core::coreState().ProgramFolder = dir.path();
        core::coreState().DataFolder = dir.path();
        // The drivers see no node list here, as before the main window exists.
        wiring.emplace(app::NodeWiring::Parts{.windows = &windows, .driverNodes = nullptr});

        net = std::make_shared<platform::sim::SimNetwork>();
        net->setTranscriptLimit(0);
        std::string error;
        EXPECT_TRUE(net->loadDescription(description, dir.path(), error)) << error;
        testing_support::plugSimulatedAdapter(net);
        device::deviceState().InterfaceType = device::InterfaceType::None;  // not active until "Activate interface"
        shell::resetScanState();

        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "Com port", 1);
        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, "Interface", "Dallas DS9097U");

        main = std::make_unique<shell::MainF>(nullptr, std::make_unique<platform::MemorySerialPort>());
        mainHooks = std::make_unique<app::MainWindowHooks>(*main);
        queueHooks = std::make_unique<app::MainWindowQueueHooks>(*main);
        main->Form_Load();
        // The queue's timers on virtual time.
        main->ProcessJobQue->stop();
        auto& q = shell::jobQueue();
        timerHook.emplace(q.enableTimer, [this] { startTick(); });
        runHook.emplace(q.scheduleRun, [this] {
            ++runsAsked;
            timers.singleShot(0ms, [this] { main->RunPostedJobs(); });
        });
        startTick();

        // Counts what the scan asks of the bus the program's wiring gave it.
        counting = std::make_unique<CountingBus>(shell::scanBus());
        countingHook.emplace(&shell::setScanBus, counting.get());

        fs::create_directories(work());
        engine.Form_Load();
        engine.WorkingDir = work();
    }

    // Undone in the reverse order of the constructor.
    ~Flow()
    {
        countingHook.reset();
        shell::jobQueue().reset();
        runHook.reset();
        timerHook.reset();
        shell::releaseAllNodes();
        queueHooks.reset();
        mainHooks.reset();
        main.reset();
        wiring.reset();
    }

    fs::path work() const { return dir.path() / "work"; }

    // The main window's job 1 and the node-list commands go to the node-list generator,
    // as in the program.
    void useNodeListGenerator()
    {
        generator = std::make_unique<editor::NodeListModel>();
        generator->Form_Load();
        host.generator = generator.get();
        main->UpdateNodes = [this] { generator->UpdateNodes(); };
    }
    std::unique_ptr<editor::NodeListModel> generator;

    void startTick()
    {
        if (tickTimer == 0)
            tickTimer = timers.start(1000ms, [this] { main->ProcessJobQue_Timer(); });
    }

    // Activates the adapter: the mode goes to Scanning.
    bool activate()
    {
        main->iface().MnuSetupIF_Click(0);
        const bool ok = timers.runUntil([] { return shell::ifaceState().CommMode == shell::kModeScanning; }, 10s);
        if (!ok) {
            for (const auto& p : box.prompts())
                ADD_FAILURE() << "message: " << p;
            ADD_FAILURE() << "mode " << shell::ifaceState().CommMode << ", queue " << shell::jobQueue().JobQueLast()
                          << ", asked " << runsAsked << ", driver " << main->iface().menu.checkedDriver()
                          << ", activate enabled " << main->iface().menu.MnuSetupIF[0].enabled << ", jobs "
                          << shell::jobQueue().JobsEnabled() << "\n"
                          << testing_support::readAll(core::coreState().IniPath);
            for (const auto& l : trace.lines)
                ADD_FAILURE() << "trace: " << l;
        }
        return ok;
    }
    void setMode(int mode)
    {
        shell::jobQueue().Insert_In_JobQue(*main, 2, static_cast<long long>(mode));
        timers.runUntil([mode] { return shell::ifaceState().CommMode == mode && shell::jobQueue().JobQueLast() == -1; },
                        5s);
    }

    // Server on with that poll time text.
    void enableServer(const std::string& pollText)
    {
        engine.PoolTime_Change(pollText);
        engine.PoolTime_Commit();
        engine.T_block_Server_Click(1);
    }

    // The poll timer of the server follows the engine as QTimer follows T_server.
    void pollChanged(bool enabled, int intervalMs)
    {
        if (!enabled) {
            if (pollTimer)
                timers.stop(pollTimer);
            return;
        }
        if (pollTimer == 0)
            pollTimer = timers.start(std::chrono::milliseconds(intervalMs), [this] {
                ++pollTicks;
                if (shell::jobQueue().ticking() && client.ackPresent())
                    ++pollsMetATick;
                engine.ServerTimer_Timer();
            });
        else if (!timers.active(pollTimer) || intervalMs != pollInterval)
            timers.restart(pollTimer, std::chrono::milliseconds(intervalMs));
        pollInterval = intervalMs;
    }

    // Sends a request and runs the loop until it is answered (the ack gone) or limit passed.
    bool request(const std::vector<std::string>& lines, std::chrono::milliseconds limit = 90s)
    {
        client.send(RequestClient::requestText(lines));
        return waitAnswer(limit);
    }
    bool waitAnswer(std::chrono::milliseconds limit = 90s)
    {
        return timers.runUntil([this] { return !client.ackPresent(); }, limit);
    }
    void runFor(std::chrono::milliseconds d)
    {
        timers.runUntil([] { return false; }, d);
    }

    // Request runs ended so far ("completed succesfully" / "failed" lines of the log).
    int runsEnded() const
    {
        int n = 0;
        for (const auto& line : testing_support::crlfLines(engine.status))
            if (line.find(")  completed succesfully") != std::string::npos || line.find(")  failed") != std::string::npos)
                ++n;
        return n;
    }

    std::set<std::string> listedIds() const
    {
        std::set<std::string> ids;
        for (const auto& r : shell::nodesState().TrList)
            ids.insert(r.id);
        return ids;
    }
    std::set<std::string> networkIds() const
    {
        std::set<std::string> ids;
        for (const auto& n : net->nodes())
            ids.insert(nodeIdOf(*n));
        return ids;
    }
    static std::string nodeIdOf(const platform::sim::SimNode& n) { return n.rom().nodeId(); }

    testing_support::TempDir dir;
    testing_support::VirtualTimers timers;
    std::shared_ptr<platform::sim::SimNetwork> net;
    shell::MinimalNodeWindowFactory windows;
    std::optional<app::NodeWiring> wiring;
    std::unique_ptr<shell::MainF> main;
    std::unique_ptr<app::MainWindowHooks> mainHooks;
    std::unique_ptr<app::MainWindowQueueHooks> queueHooks;
    std::optional<platform::ScopedHook<std::function<void()>>> timerHook;
    std::optional<platform::ScopedHook<std::function<void()>>> runHook;
    std::unique_ptr<CountingBus> counting;
    std::optional<platform::ScopedHook<shell::ScanBus*>> countingHook;
    Host host;
    server::RequestEngine engine;
    RequestClient client;
    int tickTimer = 0;
    int pollTimer = 0;
    int pollInterval = 0;
    int runsAsked = 0;
    int pollTicks = 0;
    int pollsMetATick = 0;  // poll ticks that found an ack while the queue ticked
};

inline void Host::postMainJob(shell::MainJob job, int param)
{
    shell::jobQueue().Insert_In_JobQue(*f_.main, job, static_cast<long long>(param));
}
inline void Host::pollTimerChanged(bool enabled, int intervalMs)
{
    f_.pollChanged(enabled, intervalMs);
    if (onPollChange)
        onPollChange();
}
inline void Host::logAppended(const std::string&)
{
    if (onLog)
        onLog();
}
inline std::vector<std::string> Host::appendFullTEDS(shell::NodeWindow&, bool)
{
    ++listings;
    return {"listing " + std::to_string(listings)};
}
inline bool Host::WriteNode_s(shell::NodeWindow&, std::string&)
{
    ++writes;
    if (onWrite)
        onWrite();
    if (writeTime.count() > 0)
        platform::clock().pause(writeTime);
    return true;
}

} // namespace requestflow
