// Requests that choose an amplifier channel, on virtual time: the request engine, the
// amplifier window as the program wires it and the simulated chain on an in-memory line.
// The first run only selects the channel; the amplifier window scans it and reads its
// TEDS; the resume run carries out every other line once.

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/nodewiring.h"
#include "app/resetallstate.h"
#include "app/amplifierwindowhost.h"
#include "app/documentfields.h"

#include "amplifier/model/peloxmodel.h"
#include "amplifier/peloxf/peloxf.h"
#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/base/trace.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "server/engine/requestengine.h"
#include "server/engine/suppressingmessagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "sim/amplifier/amplifierchain.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/serial/memoryserialport.h"
#include "tests/app/wiring/freshprogram.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/qtapp.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/requestclient.h"
#include "tests/support/quietserverhost.h"
#include "tests/support/quietserverview.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kAccelerometer = "A900000091E4D223";

// The main window's scan job.
struct MainStub final : shell::JobTarget {
    void DoJob() override { shell::scanUntilPassEnds(); }
    std::string name() const override { return "MainF"; }
};

// What the program's wiring does for the engine, the amplifier link being the interface.
struct Host final : testing_support::QuietServerHost, testing_support::QuietServerView {
    Host(MainStub& m, editor::EditorNodeWindowFactory& f, app::AmplifierWindowHost& a) : main(m), factory(f), amp(a) {}
    static editor::TedsF& teds(shell::NodeWindow& w)
    {
        auto* t = dynamic_cast<editor::TedsF*>(&w);
        if (!t)
            throw std::logic_error(w.name() + " is no TEDS window");
        return *t;
    }
    bool amplifierLinkChosen() override { return true; }
    void postMainJob(shell::MainJob job, int) override { shell::jobQueue().Insert_In_JobQue(main, job, 0LL); }
    void rescanAmplifierChannel() override
    {
        ++amplifierJobs;
        shell::jobQueue().Insert_In_JobQue(amp.window()->model(), amplifier::ReadChannelTeds, 0LL);
    }
    int updateTAG(shell::NodeWindow& w, const std::string& n, const std::string& i, const std::string& v,
                  bool nv, std::string& why) override
    {
        return teds(w).doc.updateTAG(n, i, v, nv, &why);
    }
    bool CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid) override
    {
        return teds(w).doc.CreateNewTEDS_force(utid);
    }
    std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool prefix) override
    {
        return teds(w).appendFullTEDS(prefix);
    }
    bool WriteNode_s(shell::NodeWindow& w, std::string& why) override { return teds(w).WriteNode_s(&why); }
    std::string ActualNodeID() override { return factory.shared().ActualNodeID; }
    void setActualNodeID(const std::string& id) override { factory.shared().ActualNodeID = id; }
    void setSelectedNodeID(const std::string& id) override { factory.shared().SelectedNodeID = id; }
    bool Delete_memory() override { return factory.shared().Delete_memory(); }
    bool Select_Channel(int n) override { return amp.window() && amp.window()->model().Select_Channel(n); }

    MainStub& main;
    editor::EditorNodeWindowFactory& factory;
    app::AmplifierWindowHost& amp;
    int amplifierJobs = 0;
};

struct Neighbours final : editor::StandInTedsNeighbours {
    explicit Neighbours(server::RequestEngine& e) : engine(e) {}
    int requestFamily() override { return static_cast<int>(engine.RequestFamily); }
    bool allowRomProgramming() override { return engine.AllowRomProgramming; }
    void requestReport(const std::string& line) override { engine.requestReport(line); }
    server::RequestEngine& engine;
};

std::string fixedNow() { return "NOW"; }

class ChannelRequest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }

    ChannelRequest()
    {
        wiringtest::freshProgramWithShippedLibrary();
        core::coreState().IniPath = dir / "settings.txt";
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        core::setMessageSuppressor(&engine);
        shell::jobQueue().StartJobQue();
        engine.nowText = &fixedNow;
        fs::create_directories(work);
        const auto& ini = core::coreState().IniPath;
        core::Inifile_CreateKeyWithValue(ini, "T-block workdir", work.string());
        core::Inifile_CreateKeyWithValue(ini, "T-block server enabled", 1);
        core::Inifile_CreateKeyWithValue(ini, "T-block pooltime", "0.1");
        engine.Form_Load();
    }
    ~ChannelRequest() override
    {
        core::setMessageSuppressor(nullptr);
        if (host.window())
            shell::amplifierWindow().unload();
        shell::setAmplifierWindow(nullptr);
        // The node windows go while the factory and the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        factory.releaseShared();
        device::setPeloxPort(nullptr);
        app::resetAllState();
    }

    // The chain of the fixture folder, or one described by text; the amplifier window
    // loaded and the chain read.
    void startChain(const std::string& text = {})
    {
        const fs::path fixtures = testing_support::fixturesDir() / "amplifier";
        platform::sim::AmplifierSimConfig c;
        std::string error;
        const std::string description = text.empty() ? testing_support::readAll(fixtures / "chain.txt") : text;
        ASSERT_TRUE(platform::sim::parseAmplifierSimConfig(description, fixtures, c, error)) << error;
        chain = std::make_unique<platform::sim::AmplifierChain>(c);
        ASSERT_TRUE(chain->loadNetworks(error)) << error;
        port.attach(chain.get());
        ASSERT_TRUE(port.setPortOpen(true));
        device::setPeloxPort(&port);
        device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
        shell::setAmplifierWindow(&host);
        shell::amplifierWindow().show();
        runJobs();
    }
    void runJobs()
    {
        auto& q = shell::jobQueue();
        for (int n = 0; q.JobQueLast() >= 0 && n < 50; ++n)
            q.tick();
    }
    void step()
    {
        engine.ServerTimer_Timer();
        shell::jobQueue().tick();
        shell::collectDeferred();
    }
    bool request(const Lines& lines)
    {
        client.send(testing_support::RequestClient::requestText(lines));
        return client.waitForAnswer(std::chrono::seconds(20), [this] { step(); });
    }
    Lines logLines() const { return testing_support::crlfLines(engine.status); }
    bool logHas(const std::string& line) const
    {
        const Lines l = logLines();
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    platform::sim::SimScratchEeprom& accelerometer()
    {
        auto& nodes = chain->amplifier(1).channel(3).network().nodes();
        return dynamic_cast<platform::sim::SimScratchEeprom&>(*nodes.at(0));
    }

    testing_support::TempDir dir;
    fs::path work = dir / "work";
    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace{trace, false};
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory factory{others};
    app::KeptWindowHook factoryKept{factory};
    app::DocumentFields fields;
    app::AmplifierWindowHost host;
    MainStub mainStub;
    Host serverHost{mainStub, factory, host};
    server::RequestEngine engine{serverHost, serverHost};
    server::SuppressingMessageBox suppressing{box, engine};
    platform::ScopedMessageBox scopedBox{suppressing};
    Neighbours neighbours{engine};
    app::NodeWiring wiring{{.windows = &factory, .collect = [](int) {}, .scanStep = shell::scanOneStep}};
    app::EditorWiring editorWiring{{.neighbours = &neighbours}};
    std::unique_ptr<platform::sim::AmplifierChain> chain;
    platform::MemorySerialPort port;
    testing_support::RequestClient client{work};
};

TEST_F(ChannelRequest, ListsTheTedsOfTheChosenChannel)
{
    startChain();
    ASSERT_TRUE(request({"REQUESTDATETIME c3", "SELECT_CHANNEL 3", "FAMILY 35", "LISTFULLTEDS"}));
    const Lines listing = client.responseLines();
    ASSERT_GE(listing.size(), 4u) << testing::PrintToString(logLines());
    EXPECT_EQ(listing[0], "Requestdatetime c3");
    EXPECT_EQ(listing[1], "Device DS2433");
    EXPECT_EQ(listing[2], "Node ID " + kAccelerometer);
    EXPECT_EQ(listing.back(), "Checksum is ok");
    EXPECT_EQ(device::deviceState().SelectedChannel, 3);
    // One header: the listing ran in the resume run only.
    const Lines log = logLines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Request (c3) for ListFullTEDS : NOW"), 1);
    EXPECT_EQ(log.back(), "Request (c3)  completed succesfully");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ChannelRequest, WritesOnceWhereverTheSelectionStands)
{
    startChain();
    ASSERT_TRUE(request({"SELECT_CHANNEL 3", "FAMILY 35", "%SerialNumber=\"4711\"", "WRITETEDS"}));
    EXPECT_EQ(client.responseLines(), (Lines{"Device DS2433", "Node ID: " + kAccelerometer, "OK"}))
        << testing::PrintToString(logLines());
    const int copies = accelerometer().copies();
    EXPECT_GT(copies, 0);

    // Lines before SELECT_CHANNEL run once too, after the channel's scan.
    engine.cbClearLog_Click();
    ASSERT_TRUE(request({"FAMILY 35", "%SerialNumber=\"4712\"", "WRITETEDS", "SELECT_CHANNEL 3"}));
    EXPECT_EQ(client.responseLines().back(), "OK");
    const Lines log = logLines();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Request () for WriteTEDS : NOW"), 1);
    EXPECT_EQ(accelerometer().copies(), 2 * copies);
}

TEST_F(ChannelRequest, UnknownChannelAbortsTheRequest)
{
    startChain();
    const auto jobsBefore = serverHost.amplifierJobs;
    ASSERT_TRUE(request({"REQUESTDATETIME x", "SELECT_CHANNEL 99", "FAMILY 35", "WRITETEDS"}));
    EXPECT_EQ(logLines(), (Lines{"Error: specified channel not found", "Request is cancled: NOW", "Request (x)  failed"}));
    EXPECT_EQ(serverHost.amplifierJobs, jobsBefore);
    EXPECT_EQ(accelerometer().copies(), 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ChannelRequest, RefusedFirmwareIsLoggedNotShown)
{
    startChain("amplifier Type 6180\nserial 1800417\nfirmware 1.2.10\nchannel 3 multidrop accelerometer.txt\n");
    ASSERT_TRUE(request({"SELECT_CHANNEL 3", "FAMILY 35", "LISTFULLTEDS"}));
    const Lines log = logLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(log[0].starts_with("MsgBox suppressed: Pelox does not support IEEE P1451")) << log[0];
    EXPECT_TRUE(logHas("Error: specified channel not found"));
    EXPECT_EQ(log.back(), "Request ()  failed");
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
