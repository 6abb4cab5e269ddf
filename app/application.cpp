#include "app/application.h"

#include "amplifier/peloxf/peloxf.h"
#include "app/amplifiertoolshost.h"
#include "app/amplifierwindowhost.h"
#include "app/documentfields.h"
#include "app/library.h"
#include "app/nodelisthost.h"
#include "app/serverbridge.h"
#include "app/starting.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/startup/startup.h"
#include "editor/compiledialog/expanddefine.h"
#include "editor/createremap/newremaptemplate.h"
#include "editor/nodelistwindow/nodelistf.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/adapters/adapterbackends.h"
#include "platform/base/system.h"
#include "platform/mixer/mixerbackend.h"
#include "platform/qt/qtfiledialogs.h"
#include "platform/qt/qtservices.h"
#include "shell/help/help.h"
#include "shell/help/helpwindow.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainf.h"
#include "shell/mixer/mixerctrl.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/tedsfields.h"
#include "shell/nodewindows/shellnodewindowfactory.h"
#include "shell/trace/debugf.h"
#include "sim/amplifier/amplifierptyserver.h"
#include "sim/amplifier/amplifiersimconfig.h"
#include "sim/onewire/simbackend.h"

#include <QApplication>
#include <QWindow>

#include <iostream>
#include <memory>

namespace app {

namespace {

class QtStartupUi final : public core::StartupUi, private shell::MenuWindows {
public:
    QtStartupUi(shell::TraceHost& trace, shell::MixerCtrl& mixer) : trace_(trace), mixer_(mixer) {}
    void showSplash() override
    {
        splash_ = std::make_unique<Starting>();
        splash_->show();
    }
    void hideSplash() override { splash_.reset(); }
    void showMainWindow() override
    {
        main_ = std::make_unique<shell::MainF>();
        auto* main = main_.get();
        main->DebugF_clear = [this] { trace_.clear(); };
        wireMenus(*main);
        mixer_.volMuteTicked = [main] { return main->iface().modes.Vol_mute; };
        mixer_.showVolMuteCaption = [main](const std::string& caption) {
            main->iface().modes.Vol_muteCaption = caption;
            main->showState();
        };
        main->Form_Load();
        main_->show();
        main_->parkFocus();
        platform::processEvents();
    }
    void postInitialize() override { main_->postInitialize(); }
    void setNoHelp() override { main_->mnuhelp[0]->setText("No help available"); }

    std::unique_ptr<shell::MainF> main_;
    // The amplifier tool windows the Tools and Debug menus open.
    AmplifierToolsHost* tools = nullptr;
    // The TEDS windows; File > "Read TEDS" loads into the shared one.
    editor::EditorNodeWindowFactory* tedsWindows = nullptr;
    // Tools > "Create empty TEDS".
    std::function<void()> createEmptyTeds;
    // The node-list generator: Tools > "Generate Nodelist" and the main window's job 1.
    NodeListHost* nodeList = nullptr;

private:
    void wireMenus(shell::MainF& main)
    {
        main.setMenuWindows(this);
        trace_.onUserClosed = [&main] { main.traceWindowClosed(); };
        main.showHelp = [](int topic) { return shell::showHelp(topic); };
        // File > "Exit" and the close box ask about unwritten TEDS changes first.
        if (tedsWindows)
            main.mayEnd = [this] { return tedsWindows->mayEndProgram(); };
        if (nodeList)
            main.UpdateNodes = [this] { nodeList->window().model().UpdateNodes(); };
    }

    // shell::MenuWindows: the windows the main window's menus open.
    bool has(shell::MenuWindow item) override
    {
        using W = shell::MenuWindow;
        switch (item) {
        case W::OpenTedsFile: return tedsWindows != nullptr;
        case W::CreateEmptyTeds: return static_cast<bool>(createEmptyTeds);
        case W::NodeListGenerator: return nodeList != nullptr;
        case W::AmplifierMaintenance:
        case W::AmplifierTerminal: return tools != nullptr;
        case W::CompileDescription: return true;
        }
        return false;
    }
    void open(shell::MenuWindow item) override
    {
        using W = shell::MenuWindow;
        if (!has(item))
            return;
        switch (item) {
        case W::OpenTedsFile: {
            auto& w = tedsWindows->shared();
            w.Open_file(w, true);
            break;
        }
        case W::CreateEmptyTeds: createEmptyTeds(); break;
        case W::NodeListGenerator: nodeList->show(); break;
        case W::AmplifierMaintenance: tools->Pelox_MaintenanceF(); break;
        case W::AmplifierTerminal: tools->Pelox_test(); break;
        case W::CompileDescription: {
            editor::ExpandDefine dialog(main_.get());
            dialog.setProperty("HelpContextID", editor::ExpandDefine::kHelpTopic);
            dialog.exec();
            break;
        }
        }
    }
    void setTrace(bool on) override { trace_.setTrace(on); }

    shell::TraceHost& trace_;
    shell::MixerCtrl& mixer_;
    std::unique_ptr<Starting> splash_;
};

// What the TEDS windows ask of the main window and of the running request.
class EditorNeighbours final : public editor::TedsNeighbours {
public:
    EditorNeighbours(QtStartupUi& ui, shell::TraceHost& trace, AmplifierWindowHost& amplifier,
                     editor::NewRemapTemplate& templateDialog, ServerBridge& server)
        : ui_(ui), trace_(trace), amplifier_(amplifier), templateDialog_(templateDialog), server_(server)
    {
    }
    bool runTemplateDialog(int mode, editor::TedsF& owner) override
    {
        templateDialog_.Initiate(mode, owner.doc);
        // Above the window it works for (the dialog itself outlives every TEDS window).
        templateDialog_.winId();
        if (auto* handle = templateDialog_.windowHandle(); handle && owner.window()->windowHandle())
            handle->setTransientParent(owner.window()->windowHandle());
        editor::runModal(templateDialog_);
        templateDialog_.hide();
        return templateDialog_.GotTemplate();
    }
    bool mainWindowVisible() override { return ui_.main_ && ui_.main_->isVisible(); }
    void showTraceWindow() override
    {
        if (core::traceOn())
            trace_.setTrace(true);
    }
    void reselectAmplifierNode() override
    {
        if (auto* w = amplifier_.window())
            shell::jobQueue().Insert_In_JobQue(w->model(), amplifier::AmplifierJob::SelectClickedNode, 0LL);
    }
    int requestFamily() override { return static_cast<int>(server_.engine().RequestFamily); }
    bool allowRomProgramming() override { return server_.engine().AllowRomProgramming; }
    void requestReport(const std::string& line) override { server_.engine().requestReport(line); }
    void fileMenu(int item, editor::TedsF& window) override { editor::runFileMenu(item, window); }

private:
    QtStartupUi& ui_;
    shell::TraceHost& trace_;
    AmplifierWindowHost& amplifier_;
    editor::NewRemapTemplate& templateDialog_;
    ServerBridge& server_;
};

// "--simulate-amplifier <file>": serves a simulated amplifier chain on a pseudo-terminal.
int serveSimulatedAmplifier(const std::string& file)
{
    std::string error;
    const auto text = core::readFileBytes(file, &error);
    platform::sim::AmplifierSimConfig config;
    if (!text || !platform::sim::parseAmplifierSimConfig(*text, std::filesystem::path(file).parent_path(), config, error)) {
        std::cerr << "tedsmith: " << file << ": " << error << "\n";
        return 1;
    }
    return platform::sim::serveAmplifierOnPty(config, std::cout);
}

} // namespace

int run(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    if (args.size() >= 2 && args[1] == "--simulate-amplifier") {
        if (args.size() != 3) {
            std::cerr << "usage: tedsmith --simulate-amplifier <chain description file>\n";
            return 2;
        }
        return serveSimulatedAmplifier(args[2]);
    }
    QApplication qapp(argc, argv);
    // TEDSMITH_NO_DIALOGS: messages go to stderr with their unattended answer (scripted runs).
    platform::QtMessageBox box;
    if (!platform::environment("TEDSMITH_NO_DIALOGS"))
        platform::setMessageBox(&box);
    platform::installQtEventPump();
    platform::QtFileDialogs fileDialogs;
    platform::setFileDialogs(&fileDialogs);
    platform::QtPrinterChooser printer;
    platform::setPrinterChooser(&printer);
    shell::TraceHost trace;
    installLibraryGates();
    // The sound card: opened when the demo adaptor is chosen, restored on exit.
    const auto mixerBackend = platform::makeAlsaMixerBackend();
    shell::MixerCtrl mixer(*mixerBackend);
    shell::setSoundMixer(&mixer);
    shell::installHelpKey(&qapp);
    QtStartupUi ui(trace, mixer);
    AmplifierWindowHost amplifierWindow;
    shell::setAmplifierWindow(&amplifierWindow);
    AmplifierToolsHost amplifierTools;
    amplifierTools.switchToAmplifierLink = [&ui] {
        if (ui.main_)
            shell::jobQueue().Insert_In_JobQue(*ui.main_, shell::MainJob::SetInterface, 1LL);
    };
    ui.tools = &amplifierTools;
    NodeListHost nodeList;
    ui.nodeList = &nodeList;
    editor::setNodeListProvider([&nodeList] { return &nodeList.window().model(); });
    // Memory nodes get the TEDS window; the other kinds the shell's windows.
    shell::ShellNodeWindowFactory shellWindows;
    editor::EditorNodeWindowFactory nodeWindows(shellWindows);
    ui.tedsWindows = &nodeWindows;
    shell::setNodeWindowFactory(&nodeWindows);
    // The create/remap dialog: one for the run, prepared by every template match.
    editor::NewRemapTemplate templateDialog;
    editor::setTemplateDialogHook(&templateDialog);
    // The request server: its window, the suppression of every message box while it serves.
    ServerBridge server([&ui] { return ui.main_.get(); }, nodeWindows, amplifierWindow);
    EditorNeighbours neighbours(ui, trace, amplifierWindow, templateDialog, server);
    // The generator's jobs 4 and 5 answer a list request and end it.
    nodeList.onCreate = [&server](editor::NodeListModel& model) {
        model.listNodelist = [&server] {
            bool ok = false;
            server.engine().listNodelist(ok);
        };
        model.Kill_ackFile = [&server] { server.engine().Kill_ackFile(); };
    };
    editor::setTedsNeighbours(&neighbours);
    ui.createEmptyTeds = [&nodeWindows] {
        auto& w = nodeWindows.shared();
        w.CreateNewTEDS(w, "Not assigned", true);
    };
    // The switch window reads its gains, the amplifier window its sensitivity, from the TEDS window.
    DocumentFields tedsFields;
    shell::installDriverNodeList();
    // The simulated network, when asked for, serves every port; otherwise the adapters do.
    const auto sim = platform::configureSimulatedNetworkFromEnvironment();
    if (sim.requested && !sim.loaded)
        core::MsgBox(sim.message);
    if (!sim.loaded)
        platform::registerAdapterBackends();
    int rc = 0;
    try {
        const auto res = core::Main(args, ui, templateLibrary());
        rc = res.showWindow ? qapp.exec() : res.exitCode;
    } catch (const core::ProgramEnd& end) {
        rc = end.exitCode;
    }
    shell::releaseAllNodes();
    shell::releaseHelpWindow();
    editor::setNodeListProvider(nullptr);
    nodeWindows.releaseShared();
    editor::setTedsNeighbours(nullptr);
    editor::setTemplateDialogHook(nullptr);
    shell::setNodeWindowFactory(nullptr);
    amplifierWindow.unload();
    shell::setAmplifierWindow(nullptr);
    ui.main_.reset();
    shell::setSoundMixer(nullptr);
    platform::setEventPump(nullptr);
    platform::setPrinterChooser(nullptr);
    platform::setFileDialogs(nullptr);
    platform::setMessageBox(nullptr);
    return rc;
}

} // namespace app
