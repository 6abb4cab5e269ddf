#pragma once
// The request engine in process: TEDS windows on the simulated network (virtual time,
// the shipped template library), a working directory and settings file in a temporary
// folder, a host that forwards to the TEDS windows as the program does, a main-window
// stand-in that scans, and the test client. A request is sent, then poll ticks and
// queue ticks run until the ack file has gone.

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/base/trace.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/nodelist/nodelistmodel.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "server/engine/requestengine.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "sim/onewire/simbackend.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "shell/nodes/nodehost.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/requestclient.h"
#include "tests/support/quietserverhost.h"
#include "tests/support/quietserverview.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace server_test {

namespace fs = std::filesystem;

// The main window's jobs 1 (drop every node, scan again), 6 (scan, unless job 1 has just
// refilled the list) and 7 (mode).
struct MainStub final : shell::JobTarget {
    void DoJob() override
    {
        const auto& head = shell::jobQueue().head();
        jobs.push_back(head.subno);
        if (head.subno == 1) {
            shell::removeAllTransducers();
            shell::scanUntilPassEnds();
        }
        if (head.subno == 6)
            shell::scanUnlessRefilled();
    }
    std::string name() const override { return "MainF"; }
    std::vector<int> jobs;
};

// What the program's wiring does, with the main window and the program's end recorded.
struct Host final : testing_support::QuietServerHost, testing_support::QuietServerView {
    Host(shell::JobTarget& m, editor::EditorNodeWindowFactory& f) : main(m), factory(f) {}

    static editor::TedsF& teds(shell::NodeWindow& w, const char* member)
    {
        auto* t = dynamic_cast<editor::TedsF*>(&w);
        if (!t)
            throw std::logic_error(w.name() + " has no " + member);
        return *t;
    }
    bool mainWindowVisible() override { return mainVisible; }
    void setMainWindowVisible(bool v) override { mainVisible = v; }
    bool amplifierLinkChosen() override { return amplifierLink; }
    void postMainJob(shell::MainJob job, int param) override { shell::jobQueue().Insert_In_JobQue(main, job, 0LL); }
    void endProgram() override { ++ended; }
    void pollTimerChanged(bool enabled, int intervalMs) override
    {
        timerOn = enabled;
        if (pollTimer)
            pollTimer(enabled, intervalMs);
    }
    void ownMessage(const std::string& text) override { ownMessages.push_back(text); }
    int updateTAG(shell::NodeWindow& w, const std::string& name, const std::string& index, const std::string& value,
                  bool noValue, std::string& why) override
    {
        return teds(w, "updateTAG").doc.updateTAG(name, index, value, noValue, &why);
    }
    bool CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid) override
    {
        return teds(w, "CreateNewTEDS_force").doc.CreateNewTEDS_force(utid);
    }
    std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool prefix) override
    {
        return teds(w, "appendFullTEDS").appendFullTEDS(prefix);
    }
    bool WriteNode_s(shell::NodeWindow& w, std::string& why) override
    {
        if (beforeWrite)
            beforeWrite();
        return teds(w, "WriteNode_s").WriteNode_s(&why);
    }
    std::string ActualNodeID() override { return factory.shared().ActualNodeID; }
    void setActualNodeID(const std::string& id) override { factory.shared().ActualNodeID = id; }
    void setSelectedNodeID(const std::string& id) override { factory.shared().SelectedNodeID = id; }
    bool Delete_memory() override { return factory.shared().Delete_memory(); }
    std::optional<core::TedsBuf> storedTeds(shell::NodeWindow& w) override
    {
        if (auto* t = dynamic_cast<editor::TedsF*>(&w))
            return t->doc.TedsBuf;
        return std::nullopt;
    }
    void ClearNodeList() override { generator.ClearNodeList(); }
    void addNode(const std::string& id) override { generator.addNode(id); }
    void AddNodes() override { generator.AddNodes(); }
    void ReadNodes() override { generator.ReadNodes(); }
    std::vector<std::string> nodeListIds() override { return generator.ID_list; }
    void setAllowROMprg(bool allow) override { generator.allowROMprg = allow; }
    bool DO_PrgDevice(const std::string& id) override { return generator.DO_PrgDevice(id); }

    shell::JobTarget& main;
    editor::NodeListModel generator;
    editor::EditorNodeWindowFactory& factory;
    bool mainVisible = true;
    bool amplifierLink = false;
    int ended = 0;
    bool timerOn = false;
    std::vector<std::string> ownMessages;
    std::function<void()> beforeWrite;  // runs inside the request, before a node write
    std::function<void(bool enabled, int intervalMs)> pollTimer;  // the poll timer's state changed
};

// What the TEDS windows ask of the running request.
struct Neighbours final : editor::StandInTedsNeighbours {
    explicit Neighbours(server::RequestEngine& e) : engine(e) {}
    int requestFamily() override { return static_cast<int>(engine.RequestFamily); }
    bool allowRomProgramming() override { return engine.AllowRomProgramming; }
    void requestReport(const std::string& line) override { engine.requestReport(line); }
    server::RequestEngine& engine;
};

struct NoBeep final : shell::StandInNodeHost {
    void beep() override {}
};

inline std::string fixedNow() { return "NOW"; }

class ServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }

    ServerTest()
    {
        auto& ds = device::deviceState();
        ds.InterfaceType = device::InterfaceType::Adapter;
        ds.PortNum = 1;
        ds.PortType = 5;
        platform::useSimulatedNetwork(net, 5, 1);
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::coreState().IniPath = dir / "settings.txt";
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        shell::jobQueue().StartJobQue();
        core::setMessageSuppressor(&engine);
        fs::create_directories(work);
        engine.nowText = &fixedNow;
    }
    ~ServerTest() override
    {
        core::setMessageSuppressor(nullptr);
        // The node windows go while the factory and the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        factory.releaseShared();
    }

    void load(const std::string& description)
    {
        std::string error;
        ASSERT_TRUE(net->loadDescription(description, testing_support::dataDir(), error)) << error;
    }
    // Settings of a serving window, then its load.
    void startServer(const std::string& pollTime = "0.1", int editorVisible = 1)
    {
        const auto& ini = core::coreState().IniPath;
        core::Inifile_CreateKeyWithValue(ini, "T-block workdir", work.string());
        core::Inifile_CreateKeyWithValue(ini, "T-block server enabled", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block server EditorVisible", editorVisible);
        core::Inifile_CreateKeyWithValue(ini, "T-block pooltime", pollTime);
        engine.Form_Load();
    }
    // One poll tick and one queue tick, as the two timers would.
    void step()
    {
        engine.ServerTimer_Timer();
        shell::jobQueue().tick();
        shell::collectDeferred();
    }
    // Sends lines after the version line and waits for the answer.
    bool request(const std::vector<std::string>& lines)
    {
        return send(testing_support::RequestClient::requestText(lines));
    }
    bool send(const std::string& bytes)
    {
        client.send(bytes);
        return client.waitForAnswer(std::chrono::seconds(20), [this] { step(); });
    }
    // Log lines (CR LF split) from line `from` on.
    std::vector<std::string> logLines(std::size_t from = 0) const
    {
        auto all = testing_support::crlfLines(engine.status);
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
    std::shared_ptr<platform::sim::SimNode> node(const std::string& id)
    {
        for (const auto& n : net->nodes())
            if (n->rom().nodeId() == id)
                return n;
        return nullptr;
    }

    testing_support::FreshState<editor::resetEditorLayer> fresh;
    testing_support::TempDir dir;
    fs::path work = dir / "work";
    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace{trace, false};
    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory factory{others};
    app::KeptWindowHook factoryKept{factory};
    MainStub mainStub;
    Host host{mainStub, factory};
    server::RequestEngine engine{host, host};
    Neighbours neighbours{engine};
    NoBeep nobeep;
    app::NodeWiring wiring{{.windows = &factory, .host = &nobeep, .collect = [](int) {}, .scanStep = shell::scanOneStep}};
    app::EditorWiring editorWiring{{.neighbours = &neighbours}};
    testing_support::RequestClient client{work};
};

} // namespace server_test
