#pragma once
// The main window: node tree, communication panels, the Setup menu, the serial
// control of the amplifier link, and the 1000 ms timer that drives the job queue.
// The interface choice lives in a widget-free model (shell/iface); this window shows
// its state and forwards its control events to it.

#include "device/onewire/onewirewindow.h"
#include "platform/serial/serialport.h"
#include "shell/iface/iface.h"
#include "shell/iface/ifacehost.h"
#include "shell/jobs/jobtarget.h"
#include "shell/mainwindow/menuwindows.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodewindow.h"
#include "shell/nodetree/nodetreeview.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QTreeWidget;

namespace shell {

class MainF final : public QMainWindow,
                    public JobTarget,
                    public device::OneWireWindow,
                    public NodeHost,
                    private IfaceHost {
    Q_OBJECT
public:
    // port: the serial control MSComm1; by default the tty of the chosen COM port.
    explicit MainF(QWidget* parent = nullptr, std::unique_ptr<platform::SerialPort> port = {});
    ~MainF() override;

    // JobTarget
    void DoJob() override;
    void Refresh() override;
    std::string name() const override { return "MainF"; }

    void Form_Load();
    void postInitialize();
    // Key code 116 (F5) drops every node; the scan brings the present ones back.
    void Form_KeyDown(int keyCode, int shift);
    // Closing the window ends the program.
    void Form_QueryUnload();
    // The one way out: unloads the request server window (it saves its settings),
    // closes the sound mixer, stops the queue and ends the program with exitCode.
    void EndProgram(int exitCode);
    // One tick of ProcessJobQue; a job that ends the program ends it here.
    void ProcessJobQue_Timer();
    // The run of posted jobs that a post to the idle queue asks for (no scan pass).
    void RunPostedJobs();
    // Hides and unloads the window; window is empty afterwards. It is destroyed once
    // none of its members can be running.
    void UnloadTEDS(std::unique_ptr<NodeWindow>& window);

    // What the job queue asks of the main window (the program hands these to the queue):
    // the mode is Scanning; start the 1000 ms tick; run the posted jobs at the next turn of
    // the event loop; the busy pointer on every window.
    static bool scanning();
    void startJobTimer();
    void scheduleJobRun();
    static void applyHourglass(bool on);

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

    // Hooks the program fills in.
    std::function<void()> DebugF_clear;         // empties the trace window
    std::function<void()> DoTreeview_Select;    // job 3: the tree selection (default: open the windows)
    std::function<void()> UpdateNodes;          // job 1: the node-list generator's (default: drop all, scan)
    std::function<void(int exitCode)> endProgram;  // quits the event loop (default)
    // Asked before File > "Exit" or the close box ends the program (unwritten TEDS
    // changes); false keeps it running. Not asked when a request ends it.
    std::function<bool()> mayEnd;
    // What the menus open; nullptr restores none. The caller keeps ownership.
    void setMenuWindows(MenuWindows* windows) { windows_ = windows ? windows : &noWindows_; }
    MenuWindows& windows() { return *windows_; }

    // The menus. Modal dialogs run with job intake stopped.
    void mnufile_Click(int index);
    void mnuTools_Click(int index);
    void mnuDebug_Click(int index);
    void mnuhelp_Click(int index);
    // Checks the validation lines of every data file (asking per failing file).
    void Validate_files();
    // The volume bar moved: volume and mute to the mixer.
    void VolScroll_Scroll(int value);
    // The trace window was closed by its close box: Debug > "Trace " unticks.
    void traceWindowClosed();
    // Shows dialog modal with job intake stopped around it.
    void runModal(const std::function<void()>& show);
    // Help for the main window's topic; false when there is none.
    std::function<bool(int topic)> showHelp;

    // OneWireWindow
    void Set_CommModeWindow() override;
    bool ds9097uDriverChecked() override;
    void setSpeedFrameVisible(bool visible) override;
    bool speedOptionSet(int index) override;
    void showCommMode(const std::string& text) override;

    // NodeHost
    bool ds9490rDriverChecked() override;
    void showScanLight(bool on) override;
    void beep() override;
    int volumeValue() override;
    bool muteChecked() override;

    // Controls, named as the program names them.
    QTreeWidget* TRTreeView = nullptr;
    QTimer* ProcessJobQue = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> obSpeed{};
    QLineEdit* tbComm_mode = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> ModeO{};
    QScrollBar* VolScroll = nullptr;
    QCheckBox* Vol_mute = nullptr;
    QPushButton* nofocus = nullptr;
    QLabel* ScanLight = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Editor_text = nullptr;
    QLabel* ZQ_text = nullptr;
    QLabel* SimulatedLabel = nullptr;  // says when the network is simulated
    QMenu* mFile = nullptr;
    QMenu* msetup = nullptr;
    QMenu* mTools = nullptr;
    QMenu* mDebug = nullptr;
    QMenu* mhelp = nullptr;
    std::array<QAction*, 2> mnufile{};
    // Tools: "Create empty TEDS", "Generate Nodelist", "Pelox Control", "Pelox
    // maintenance", "Compile Description file", "Validate files".
    std::array<QAction*, 6> mnuTools{};
    std::array<QAction*, 5> mnuDebug{};  // 1 .. 4
    std::array<QAction*, 3> mnuhelp{};
    // Setup menu: (0) activate, (1..3) the submenus' own items, (4) "T-block Server".
    std::array<QAction*, 5> MnuSetupIF{};
    std::array<QAction*, 3> mnuIF_p_startup{};  // 1, 2
    std::array<QAction*, 5> mnuIF_p_Com{};      // 1..4
    std::array<QAction*, kDriverCount> mnuIF_p_Driver{};

    int HelpContextID = 0;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildUi();
    void buildSetupMenu();
    void buildMenus();
    void showMenuStates();
    void connectControls();
    void connectTree();
    // Shows the model's state in the widgets.
    void sync();
    void showSimulated();
    // Runs search steps until the pass ends.
    void scanPass();
    // A tick or a run of posted jobs; a job that ends the program ends it here.
    void runQueue(const std::function<void()>& run);
    void job8();
    void openIfThere(MenuWindow item);

    // IfaceHost
    void postMainJob(MainJob subno, JobParam param) override;
    int nodeCount() override;
    std::string nodeId(int index) override;
    void Remove_transducer(const std::string& id) override;
    void clearTrace() override;
    void changed() override { sync(); }
    void activationStarted() override;

    std::unique_ptr<platform::SerialPort> port_;
    Iface iface_;
    NodeTreeView treeView_;
    bool syncing_ = false;
    bool ending_ = false;
    bool inJob8_ = false;
    NoMenuWindows noWindows_;
    MenuWindows* windows_ = &noWindows_;
};

} // namespace shell
