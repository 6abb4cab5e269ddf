#pragma once
// The windows start-up shows (the splash, then the main window) and the windows the main
// window's menus open. Holds the main window with what it registers.

#include "app/mainwindowhooks.h"
#include "app/mainwindowhost.h"
#include "app/starting.h"
#include "core/startup/startup.h"
#include "shell/mainwindow/mainf.h"
#include "shell/mainwindow/menuwindows.h"

#include <functional>
#include <memory>

namespace editor {
class EditorNodeWindowFactory;
}
namespace shell {
class MixerCtrl;
class TraceHost;
}

namespace app {

class AmplifierToolsHost;
class NodeListHost;

class StartupWindows final : public core::StartupUi, private shell::MenuWindows {
public:
    // The windows the menus open; kept by the caller.
    struct Opened {
        AmplifierToolsHost& tools;                 // Tools and Debug: the amplifier tool windows
        editor::EditorNodeWindowFactory& tedsWindows;  // File > "Read TEDS": the shared TEDS window
        NodeListHost& nodeList;                    // Tools > "Generate Nodelist", the main window's job 1
    };
    StartupWindows(shell::TraceHost& trace, shell::MixerCtrl& mixer, Opened opened);
    ~StartupWindows() override;
    StartupWindows(const StartupWindows&) = delete;
    StartupWindows& operator=(const StartupWindows&) = delete;

    void showSplash() override;
    void hideSplash() override;
    void showMainWindow() override;
    void postInitialize() override;
    void setNoHelp() override;

    // The main window once start-up has shown it.
    shell::MainF* main() { return main_.get(); }
    // Destroys the main window (program end).
    void releaseMain();

private:
    void wireMenus(shell::MainF& main);
    // shell::MenuWindows
    bool has(shell::MenuWindow item) override;
    void open(shell::MenuWindow item) override;
    void setTrace(bool on) override;

    shell::TraceHost& trace_;
    shell::MixerCtrl& mixer_;
    Opened opened_;
    MainWindowHost host_;
    std::unique_ptr<Starting> splash_;
    std::unique_ptr<shell::MainF> main_;
    std::unique_ptr<MainWindowHooks> mainHooks_;
    std::unique_ptr<MainWindowQueueHooks> queueHooks_;
};

} // namespace app
