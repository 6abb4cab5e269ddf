#pragma once
// The real main window, offscreen, on virtual time, with its settings in a temporary
// file, a recording mixer, a recording request server window and plain node windows.

#include "app/mainwindowhooks.h"
#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "platform/base/scopedhook.h"
#include "shell/state/shelllayer.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simnode.h"
#include "sim/serial/memoryserialport.h"
#include "shell/iface/ifacestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainf.h"
#include "shell/mixer/soundmixer.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/nodewindowfactory.h"
#include "shell/nodes/windowgraveyard.h"
#include "tests/support/menuwindowsstub.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <QAction>
#include <QApplication>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mainf_test {

struct RecordingMixer final : shell::SoundMixerControl {
    std::vector<std::string> calls;
    void openMixerCtrl(int v, bool m) override { calls.push_back("open " + std::to_string(v) + " " + std::to_string(m)); }
    void closeMixerCtrl() override { calls.push_back("close"); }
    void setMixer(int v, bool m) override { calls.push_back("set " + std::to_string(v) + " " + std::to_string(m)); }
    void getMixer(int&, bool&) override {}
    void getAllMixerInfo() override {}
};

struct RecordingServer final : shell::RequestServerWindow {
    std::vector<std::string> calls;
    void show() override { calls.push_back("show"); }
    void unload() override { calls.push_back("unload"); }
};

struct PlainNodeWindow final : shell::NodeWindow {
    std::string kind;
    explicit PlainNodeWindow(std::string k) : kind(std::move(k)) {}
    void Inititiate(int) override {}
    void reqShow() override {}
    bool Visible() const override { return false; }
    void DoJob() override {}
    std::string name() const override { return kind; }
};

struct PlainFactory final : shell::NodeWindowFactory {
    std::unique_ptr<shell::NodeWindow> NewTemperatureF() override { return std::make_unique<PlainNodeWindow>("TemperatureF"); }
    std::unique_ptr<shell::NodeWindow> NewSwitchF() override { return std::make_unique<PlainNodeWindow>("SwitchF"); }
    std::unique_ptr<shell::NodeWindow> NewTedsF() override { return std::make_unique<PlainNodeWindow>("TedsF"); }
    std::unique_ptr<shell::NodeWindow> NewNotSupportedF() override { return std::make_unique<PlainNodeWindow>("NotSupportedF"); }
    shell::NodeWindow* SharedTedsF() override { return nullptr; }
};

// Reset: the reset of the highest layer the test links (FreshState).
template <void (*Reset)()>
class MainFTestOf : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }

    MainFTestOf()
    {
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        auto port = std::make_unique<platform::MemorySerialPort>();
        serial = port.get();
        main = std::make_unique<shell::MainF>(nullptr, std::move(port));
        mainHooks = std::make_unique<app::MainWindowHooks>(*main);
        main->endProgram = [this](int code) { ended.push_back(code); };
        main->setMenuWindows(&menus);
    }
    ~MainFTestOf() override
    {
        queueHooks.reset();
        mainHooks.reset();
        main.reset();
        // The node windows go while the factory and the hooks are still there.
        shell::resetNodesState();
        shell::collectDeferred();
    }

    // The main window's Form_Load, with the job queue's hooks the program registers then.
    void formLoad()
    {
        queueHooks = std::make_unique<app::MainWindowQueueHooks>(*main);
        main->Form_Load();
    }

    void setting(const std::string& key, const std::string& value)
    {
        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, key, value);
    }
    // The "done job" trace lines, as "target:number".
    std::vector<std::string> doneJobs() const
    {
        std::vector<std::string> out;
        const std::string head = "done job, object:";
        for (const auto& l : trace.lines)
            if (l.rfind(head, 0) == 0) {
                const auto sub = l.find(" subno: ");
                const auto end = l.find(' ', sub + 8);
                out.push_back(l.substr(head.size(), sub - head.size()) + ":" + l.substr(sub + 8, end - sub - 8));
            }
        return out;
    }
    // A simulated network serving every port.
    std::shared_ptr<platform::sim::SimNetwork> network()
    {
        if (!net_) {
            net_ = std::make_shared<platform::sim::SimNetwork>();
            platform::useSimulatedNetwork(net_);
        }
        return net_;
    }
    void tick() { main->ProcessJobQue_Timer(); }
    int topLevelItems() const { return main->TRTreeView->topLevelItemCount(); }

    testing_support::FreshState<Reset> fresh;
    testing_support::TempDir dir;
    RecordingMixer mixer;
    platform::ScopedHook<shell::SoundMixerControl*> mixerHook{&shell::setSoundMixer, &mixer};
    RecordingServer server;
    platform::ScopedHook<shell::RequestServerWindow*> serverHook{&shell::setRequestServerWindow, &server};
    PlainFactory factory;
    app::NodeWiring wiring{{.windows = &factory, .driverNodes = nullptr, .collect = [](int) {}}};
    testing_support::MenuWindowsStub menus;
    platform::MemorySerialPort* serial = nullptr;
    std::unique_ptr<shell::MainF> main;
    std::unique_ptr<app::MainWindowHooks> mainHooks;
    std::unique_ptr<app::MainWindowQueueHooks> queueHooks;
    std::vector<int> ended;

private:
    std::shared_ptr<platform::sim::SimNetwork> net_;
};

using MainFTest = MainFTestOf<shell::resetShellLayer>;

} // namespace mainf_test
