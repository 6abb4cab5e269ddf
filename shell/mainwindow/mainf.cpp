#include "shell/mainwindow/mainf.h"

#include "core/base/message.h"
#include "platform/base/system.h"
#include "platform/serial/termiosserialport.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

#include <exception>

namespace shell {

namespace {

std::unique_ptr<platform::SerialPort> defaultPort(std::unique_ptr<platform::SerialPort> port)
{
    if (port)
        return port;
    return std::make_unique<platform::TermiosSerialPort>();
}

} // namespace

MainF::MainF(QWidget* parent, std::unique_ptr<platform::SerialPort> port)
    : QMainWindow(parent), port_(defaultPort(std::move(port))), iface_(*this, *port_),
      jobs_(*this, iface_, *host_, [this] { sync(); }), menus_(*this, iface_, jobs_, *host_, [this] { sync(); })
{
    setObjectName("MainF");
    buildMenuBar(*this);
    buildControls(*this);
    ProcessJobQue = &jobs_.timer();
    connectControls();
    connectMenus();
    connectTree();
    treeView_.attach(TRTreeView);
    sync();
}

MainF::~MainF()
{
    jobs_.timer().stop();
    treeView_.attach(nullptr);
}

void MainF::setHost(MainHost* host)
{
    host_ = host ? host : &functions_;
    jobs_.setHost(*host_);
    menus_.setHost(*host_);
}

void MainF::connectControls()
{
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, [this] { Form_KeyDown(116, 0); });
    // Opening a submenu is a click on its item.
    for (int i = 0; i < 3; ++i)
        connect(setupSubmenus[static_cast<std::size_t>(i)], &QMenu::aboutToShow, this,
                [this, i] { iface_.MnuSetupIF_Click(i + 1); });
    connect(MnuSetupIF[0], &QAction::triggered, this, [this] { iface_.MnuSetupIF_Click(0); });
    connect(MnuSetupIF[4], &QAction::triggered, this, [this] { iface_.MnuSetupIF_Click(4); });
    for (int i = 1; i <= 2; ++i)
        connect(mnuIF_p_startup[i], &QAction::triggered, this, [this, i] { iface_.mnuIF_p_startup_Click(i); });
    for (int i = 1; i <= 4; ++i)
        connect(mnuIF_p_Com[i], &QAction::triggered, this, [this, i] { iface_.mnuIF_p_Com_Click(i); });
    for (int i = 0; i < kDriverCount; ++i)
        connect(mnuIF_p_Driver[i], &QAction::triggered, this, [this, i] { iface_.mnuIF_p_Driver_Click(i); });

    // Options and the mute box: only real changes reach the model; the model decides,
    // and sync() puts the widgets back where it says.
    for (int i = 0; i < 3; ++i)
        connect(ModeO[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                iface_.modes.selectMode(i);
            sync();
        });
    for (int i = 0; i < 2; ++i)
        connect(obSpeed[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                iface_.modes.selectSpeed(i);
            sync();
        });
    connect(Vol_mute, &QCheckBox::toggled, this, [this](bool on) {
        iface_.modes.setVolMute(on);
        sync();
    });
}

void MainF::connectMenus()
{
    for (int i = 0; i < 2; ++i)
        connect(mnufile[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnufile_Click(i); });
    for (int i = 0; i < 6; ++i)
        connect(mnuTools[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuTools_Click(i); });
    for (int i = 1; i <= 4; ++i)
        connect(mnuDebug[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuDebug_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(mnuhelp[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuhelp_Click(i); });
    // Every change of the bar (drag, arrows, page clicks) sends the volume.
    connect(VolScroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (!showing())
            VolScroll_Scroll(v);
    });
}

void MainF::Form_Load()
{
    auto& q = jobQueue();
    try {
        platform::debugOutput("QT-8061 started  \r\n");
        platform::debugOutput("QT-8061:  \r\n");
        HelpContextID = 10;
        setProperty("HelpContextID", HelpContextID);
        iface_.loadStartState();
        q.TimeoutJobQue();
        if (!iface_.GetDefault()) {
            auto& m = iface_.menu;
            m.MnuSetupIF[0].enabled = false;
            for (int i = 1; i <= 2; ++i) {
                m.mnuIF_p_startup[static_cast<std::size_t>(i)].enabled = false;
                m.mnuIF_p_startup[static_cast<std::size_t>(i)].checked = false;
            }
        }
        iface_.menu.Interface_setup_done();
        q.StartJobQue();
        iface_.Set_CommModeWindow();
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        core::MsgBox(std::string("Error in Sub 'Form_Load'\r\n\r\nError: ") + e.what());
    }
    sync();
}

void MainF::postInitialize()
{
    if (iface_.menu.startupChecked(1))
        postMainJob(MainJob::ActivateInterface, 0LL);
}

void MainF::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode != 116)
        return;
    // Node windows are not destroyed under a running tick: try again after it.
    if (jobQueue().ticking()) {
        QTimer::singleShot(100, this, [this] { Form_KeyDown(116, 0); });
        return;
    }
    removeAllTransducers();
}

void MainF::closeEvent(QCloseEvent* e)
{
    if (!jobs_.ending() && !host_->mayEnd()) {
        e->ignore();
        return;
    }
    Form_QueryUnload();
    e->accept();
}

void MainF::UnloadTEDS(std::unique_ptr<NodeWindow>& window)
{
    if (window)
        deferDelete(std::move(window));
    window.reset();
}

void MainF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

// --- OneWireWindow -----------------------------------------------------------------

void MainF::Set_CommModeWindow()
{
    iface_.Set_CommModeWindow();
    // A session start may have read an edited network file again.
    showSimulated(iface_);
}
bool MainF::ds9097uDriverChecked() { return iface_.menu.driverChecked(kDriverDS9097U); }
bool MainF::ds9490rDriverChecked() { return iface_.menu.driverChecked(kDriverDS9490R); }

void MainF::setSpeedFrameVisible(bool visible)
{
    iface_.modes.Frame1Visible = visible;
    sync();
}

bool MainF::speedOptionSet(int index)
{
    return index >= 0 && index < 2 && iface_.modes.obSpeed[static_cast<std::size_t>(index)].value;
}

void MainF::showCommMode(const std::string& text)
{
    iface_.modes.tbComm_mode = text;
    sync();
}

void MainF::beep() { QApplication::beep(); }

// --- IfaceHost ---------------------------------------------------------------------

int MainF::nodeCount() { return TrLast() + 1; }

std::string MainF::nodeId(int index)
{
    const TrRecord* r = record(index);
    return r ? r->id : std::string();
}

void MainF::Remove_transducer(const std::string& id) { shell::Remove_transducer(id); }

void MainF::activationStarted() { resetScanErrors(); }

} // namespace shell
