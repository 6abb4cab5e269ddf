#pragma once
// The main window: node tree, communication panels, the Setup menu, the serial
// control of the amplifier link. The interface choice lives in a widget-free model
// (shell/iface), the job queue's driving in MainJobs, the menus' actions in MainMenus,
// the menu bar in MainMenuBar, the other controls in MainControls; this window wires them
// and forwards its events.

#include "device/onewire/onewirewindow.h"
#include "platform/serial/serialport.h"
#include "shell/iface/iface.h"
#include "shell/iface/ifacehost.h"
#include "shell/jobs/jobtarget.h"
#include "shell/mainwindow/maincontrols.h"
#include "shell/mainwindow/mainhost.h"
#include "shell/mainwindow/mainjobs.h"
#include "shell/mainwindow/mainmenubar.h"
#include "shell/mainwindow/mainmenus.h"
#include "shell/mainwindow/menuwindows.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodewindow.h"
#include "shell/nodetree/nodetreeview.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace shell {

class MainF final : public QMainWindow,
                    public JobTarget,
                    public device::OneWireWindow,
                    public NodeHost,
                    private IfaceHost,
                    public MainMenuBar,
                    public MainControls {
    Q_OBJECT
    // (First: the hook functions below refer to it.)
    MainHostFunctions functions_;

public:
    // port: the serial control MSComm1; by default the tty of the chosen COM port.
    explicit MainF(QWidget* parent = nullptr, std::unique_ptr<platform::SerialPort> port = {});
    ~MainF() override;

    // JobTarget
    void DoJob() override { jobs_.doJob(SelectedTreeNode); }
    void Refresh() override { update(); }
    std::string name() const override { return "MainF"; }

    void Form_Load();
    void postInitialize();
    // Key code 116 (F5) drops every node; the scan brings the present ones back.
    void Form_KeyDown(int keyCode, int shift);
    // Closing the window ends the program.
    void Form_QueryUnload() { EndProgram(0); }
    // The one way out (MainJobs::end).
    void EndProgram(int exitCode) { jobs_.end(exitCode); }
    // One tick of ProcessJobQue, and a run of posted jobs (MainJobs).
    void ProcessJobQue_Timer() { jobs_.tick(); }
    void RunPostedJobs() { jobs_.runPosted(); }
    // Hides and unloads the window; window is empty afterwards. It is destroyed once
    // none of its members can be running.
    void UnloadTEDS(std::unique_ptr<NodeWindow>& window);

    MainJobs& jobs() { return jobs_; }
    // Shows the models' state in the widgets now.
    void showState() { sync(); }
    // Parks the keyboard focus on the off-screen button.
    void parkFocus() override;

    // A press on a tree node. button 2 (right): offer the node's id for the clipboard;
    // any other: remember the node and post job 3, which opens its windows.
    void TRTreeView_NodeClick(NodeTree::Handle node, int button);
    NodeTree::Handle SelectedTreeNode = NodeTree::None;

    Iface& iface() { return iface_; }
    platform::SerialPort& MSComm1() { return *port_; }

    // What the window asks of the program; nullptr restores the hook functions below.
    // The caller keeps ownership.
    void setHost(MainHost* host);
    // The hook functions, used until a host is set (MainHostFunctions).
    std::function<void()>& DebugF_clear = functions_.clearTraceFn;
    std::function<void()>& DoTreeview_Select = functions_.selectTreeNodeFn;
    std::function<void()>& UpdateNodes = functions_.updateNodesFn;
    std::function<void(int exitCode)>& endProgram = functions_.endProgramFn;
    std::function<bool()>& mayEnd = functions_.mayEndFn;
    std::function<bool(int topic)>& showHelp = functions_.showHelpFn;

    // What the menus open; nullptr restores none. The caller keeps ownership.
    void setMenuWindows(MenuWindows* windows) { menus_.setWindows(windows); }
    MenuWindows& windows() { return menus_.windows(); }
    // The menus (MainMenus).
    void mnufile_Click(int index) { menus_.file(index); }
    void mnuTools_Click(int index) { menus_.tools(index); }
    void mnuDebug_Click(int index) { menus_.debug(index); }
    void mnuhelp_Click(int index) { menus_.help(index, HelpContextID); }
    void Validate_files() { menus_.validateFiles(); }
    void VolScroll_Scroll(int value) { menus_.volumeMoved(value); }
    void traceWindowClosed() { menus_.traceWindowClosed(); }
    void runModal(const std::function<void()>& show) { MainMenus::runModal(show); }

    // OneWireWindow
    void Set_CommModeWindow() override;
    bool ds9097uDriverChecked() override;
    void setSpeedFrameVisible(bool visible) override;
    bool speedOptionSet(int index) override;
    void showCommMode(const std::string& text) override;

    // NodeHost
    bool ds9490rDriverChecked() override;
    void showScanLight(bool on) override { lightScan(on); }
    void beep() override;
    int volumeValue() override { return iface_.modes.VolScroll; }
    bool muteChecked() override { return iface_.modes.Vol_mute; }

    int HelpContextID = 0;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void connectControls();
    void connectMenus();
    void connectTree();
    // Shows the model's state in the widgets (not again from a signal the showing caused).
    void sync()
    {
        if (showing())
            return;
        showMenuBar(iface_, windows());
        showControls(iface_);
    }

    // IfaceHost
    void postMainJob(MainJob subno, JobParam param) override { jobs_.post(subno, std::move(param)); }
    int nodeCount() override;
    std::string nodeId(int index) override;
    void Remove_transducer(const std::string& id) override;
    void clearTrace() override { host_->clearTrace(); }
    void changed() override { sync(); }
    void activationStarted() override;

    std::unique_ptr<platform::SerialPort> port_;
    Iface iface_;
    NodeTreeView treeView_;
    MainHost* host_ = &functions_;
    MainJobs jobs_;
    MainMenus menus_;
};

} // namespace shell
