#include "app/application.h"

#include "app/library.h"
#include "app/serverbridge.h"
#include "app/splash.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/startup/startup.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/editorwindowfactory.h"
#include "platform/amplifiersim/amplifiersimconfig.h"
#include "platform/amplifiersim/ptyserver.h"
#include "platform/base/system.h"
#include "platform/onewire/simbackend.h"
#include "platform/qt/qtservices.h"
#include "shell/mainwindow/mainf.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodewindows/minimalnodewindowfactory.h"
#include "shell/trace/debugf.h"

#include <QApplication>

#include <iostream>
#include <memory>

namespace app {

namespace {

class QtStartupUi final : public core::StartupUi {
public:
    explicit QtStartupUi(shell::TraceHost& trace) : trace_(trace) {}
    void showSplash() override
    {
        splash_ = std::make_unique<Starting>();
        splash_->show();
    }
    void hideSplash() override { splash_.reset(); }
    void showMainWindow() override
    {
        main_ = std::make_unique<shell::MainF>();
        main_->DebugF_clear = [this] { trace_.clear(); };
        main_->Form_Load();
        main_->show();
        main_->parkFocus();
        platform::processEvents();
    }
    void postInitialize() override { main_->postInitialize(); }
    void setNoHelp() override { main_->mnuhelp[0]->setText("No help available"); }

    std::unique_ptr<shell::MainF> main_;

private:
    shell::TraceHost& trace_;
    std::unique_ptr<Starting> splash_;
};

// What the TEDS windows ask of the main window and of the running request.
class EditorNeighbours final : public editor::TedsNeighbours {
public:
    EditorNeighbours(QtStartupUi& ui, shell::TraceHost& trace, ServerBridge& server)
        : ui_(ui), trace_(trace), server_(server)
    {
    }
    bool mainWindowVisible() override { return ui_.main_ && ui_.main_->isVisible(); }
    void showTraceWindow() override
    {
        if (core::traceOn())
            trace_.setTrace(true);
    }
    int requestFamily() override { return static_cast<int>(server_.engine().RequestFamily); }
    bool allowRomProgramming() override { return server_.engine().AllowRomProgramming; }
    void requestReport(const std::string& line) override { server_.engine().requestReport(line); }

private:
    QtStartupUi& ui_;
    shell::TraceHost& trace_;
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
    shell::TraceHost trace;
    installLibraryGates();
    QtStartupUi ui(trace);
    // Memory nodes get the TEDS window; the other kinds the shell's windows.
    shell::MinimalNodeWindowFactory shellWindows;
    editor::EditorNodeWindowFactory nodeWindows(shellWindows);
    shell::setNodeWindowFactory(&nodeWindows);
    // The request server: its window, the suppression of every message box while it serves.
    ServerBridge server([&ui] { return ui.main_.get(); }, nodeWindows);
    EditorNeighbours neighbours(ui, trace, server);
    editor::setTedsNeighbours(&neighbours);
    shell::installDriverNodeList();
    const auto sim = platform::configureSimulatedNetworkFromEnvironment();
    if (sim.requested && !sim.loaded)
        core::MsgBox(sim.message);
    int rc = 0;
    try {
        const auto res = core::Main(args, ui, templateLibrary());
        rc = res.showWindow ? qapp.exec() : res.exitCode;
    } catch (const core::ProgramEnd& end) {
        rc = end.exitCode;
    }
    shell::releaseAllNodes();
    nodeWindows.releaseShared();
    editor::setTedsNeighbours(nullptr);
    shell::setNodeWindowFactory(nullptr);
    ui.main_.reset();
    platform::setEventPump(nullptr);
    platform::setMessageBox(nullptr);
    return rc;
}

} // namespace app
