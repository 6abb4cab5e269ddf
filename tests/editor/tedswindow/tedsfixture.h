#pragma once
// TEDS windows on the simulated network, through the TMEX layer, on virtual time: the
// shipped template library, the program's node-window factory and a recording
// neighbourhood (amplifier window, request server, main window visibility).

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "sim/onewire/simbackend.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "shell/nodes/nodehost.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/simadapter.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <QDialog>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace teds_test {

inline const char* kSwitch = "BA0000003B7A0112";  // 12h, the demo bridge TEDS
inline const char* kApp = "48000001A2B3C414";     // 14h
inline const char* k4k = "A900000091E4D223";      // 23h
inline const char* k1k = "6B0000005C6D7E2D";      // 2Dh

struct Neighbours final : editor::StandInTedsNeighbours {
    bool mainWindowVisible() override { return mainVisible; }
    void reselectAmplifierNode() override { ++amplifierReselects; }
    int requestFamily() override { return family; }
    bool allowRomProgramming() override { return allowRom; }
    void requestReport(const std::string& line) override { reports.push_back(line); }
    bool runTemplateDialog(int mode, editor::TedsF&) override
    {
        dialogs.push_back(mode);
        return false;
    }
    bool mainVisible = true;
    int amplifierReselects = 0;
    int family = 0;
    bool allowRom = false;
    std::vector<std::string> reports;
    std::vector<int> dialogs;
};

struct Host final : shell::StandInNodeHost {
    void beep() override { ++beeps; }
    int beeps = 0;
};

// A template of the older layout (as the DS2430A's TEDS has): its manufacturer as
// selector, one user number.
inline void addOlderLayoutTemplate(int manufacturer)
{
    auto& lib = core::tdlState();
    const int t = lib.TemplateLast + 1;
    lib.Templates.resize(static_cast<std::size_t>(t) + 2);
    auto& r = lib.Templates[static_cast<std::size_t>(t)];
    r.name = "Older layout basic";
    r.UTIDT = 0;
    r.validated = true;
    r.lengthBits = 80;
    r.fieldLast = 1;
    r.fields[0] = {"Manufacturer ID", nullptr, "", "", 0, 0, 14, "UNINT", 0, 0, "", ""};
    r.fields[1] = {"User number", nullptr, "", "", 2, 64, 16, "UNINT", 0, 0, "", ""};
    r.selectorLast = 0;
    r.selectors[0] = {0, 14, manufacturer};
    lib.TemplateLast = t;
    lib.TemplateParseLast = t;
}

class TedsWindowTest : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }

    TedsWindowTest()
    {
        testing_support::plugSimulatedAdapter(net);
        loadTemplates();
        shell::jobQueue().StartJobQue();
    }
    ~TedsWindowTest() override
    {
        // The node windows go while the factory and the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        factory.releaseShared();
    }

    void loadTemplates()
    {
        core::resetTdlState();
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
    }
    void load(const std::string& description, const std::filesystem::path& dir = testing_support::dataDir())
    {
        std::string error;
        ASSERT_TRUE(net->loadDescription(description, dir, error)) << error;
    }
    void loadDemo() { load(testing_support::readAll(testing_support::dataDir() / "demo-network.txt")); }
    // One scan pass, then no more scanning: jobs run on their own.
    void scan()
    {
        scanning = true;
        shell::jobQueue().tick();
        scanning = false;
    }
    int index(const std::string& id) { return shell::NodeIndexFromId(id); }
    editor::TedsF* window(const std::string& id)
    {
        const int k = index(id);
        return k < 0 ? nullptr : dynamic_cast<editor::TedsF*>(shell::record(k)->obj.get());
    }
    bool listed(const std::string& id)
    {
        shell::NodeTree::Handle h;
        bool found = false;
        shell::NodeInList(id, h, found);
        return found;
    }
    // Posts job n for w and runs the queue once.
    void runJob(editor::TedsF& w, int n)
    {
        shell::jobQueue().Insert_In_JobQue(w, n, 0LL);
        shell::jobQueue().tick();
    }
    std::shared_ptr<platform::sim::SimNode> node(const std::string& id)
    {
        for (const auto& n : net->nodes())
            if (n->rom().nodeId() == id)
                return n;
        return nullptr;
    }
    std::vector<std::string> traceWith(const std::string& part) const
    {
        std::vector<std::string> out;
        for (const auto& l : trace.lines)
            if (l.find(part) != std::string::npos)
                out.push_back(l);
        return out;
    }

    testing_support::FreshState<editor::resetEditorLayer> fresh;
    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory factory{others};
    app::KeptWindowHook factoryKept{factory};
    Neighbours neighbours;
    Host host;
    std::vector<std::string> modals;
    bool scanning = false;
    app::NodeWiring wiring{{.windows = &factory,
                            .host = &host,
                            .collect = [](int) {},
                            .isScanning = [this] { return scanning; },
                            .scanStep = shell::scanOneStep}};
    app::EditorWiring editorWiring{
        {.neighbours = &neighbours, .runModal = [this](QDialog& d) { modals.push_back(d.windowTitle().toStdString()); }}};
};

} // namespace teds_test
