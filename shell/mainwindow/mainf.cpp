#include "shell/mainwindow/mainf.h"

#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "platform/onewire/tmex.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "platform/serial/termiosserialport.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace shell {

namespace {

std::unique_ptr<platform::SerialPort> defaultPort(std::unique_ptr<platform::SerialPort> port)
{
    if (port)
        return port;
    return std::make_unique<platform::TermiosSerialPort>();
}

void showAction(QAction* a, const MenuItemState& s)
{
    const QSignalBlocker block(a);
    a->setText(platform::fromCp1252(s.caption));
    a->setEnabled(s.enabled);
    a->setVisible(s.visible);
    if (a->isCheckable())
        a->setChecked(s.checked);
}

void showOption(QRadioButton* b, const OptionState& s)
{
    const QSignalBlocker block(b);
    b->setEnabled(s.enabled);
    b->setVisible(s.visible);
    b->setChecked(s.value);
}

} // namespace

MainF::MainF(QWidget* parent, std::unique_ptr<platform::SerialPort> port)
    : QMainWindow(parent), port_(defaultPort(std::move(port))), iface_(*this, *port_)
{
    setObjectName("MainF");
    buildUi();
    connectControls();
    connectTree();
    treeView_.attach(TRTreeView);
    endProgram = [](int code) { QCoreApplication::exit(code); };
    sync();
}

MainF::~MainF()
{
    ProcessJobQue->stop();
    treeView_.attach(nullptr);
}

bool MainF::scanning() { return ifaceState().CommMode == kModeScanning; }

void MainF::startJobTimer() { ProcessJobQue->start(); }

void MainF::scheduleJobRun()
{
    QTimer::singleShot(0, this, [this] { RunPostedJobs(); });
}

void MainF::applyHourglass(bool on)
{
    if (on && !QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!on)
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

void MainF::buildUi()
{
    setWindowTitle("Tedsmith");
    auto* central = new QWidget(this);
    setCentralWidget(central);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    mFile = menuBar()->addMenu("&File");
    msetup = menuBar()->addMenu("&Setup");
    buildSetupMenu();
    mTools = menuBar()->addMenu("&Tools");
    mDebug = menuBar()->addMenu("&Debug");
    mhelp = menuBar()->addMenu("&Help");

    Label1 = new QLabel("Device tree with MicroLAN\u2122 nodes and functions", central);
    TRTreeView = new QTreeWidget(central);
    TRTreeView->setObjectName("TRTreeView");
    TRTreeView->setHeaderHidden(true);

    Frame1 = new QGroupBox("Communication Speed", central);
    obSpeed[0] = new QRadioButton("Normal", Frame1);
    obSpeed[1] = new QRadioButton("Relaxed for long lines", Frame1);
    tbComm_mode = new QLineEdit(Frame1);
    tbComm_mode->setReadOnly(true);
    auto* f1 = new QVBoxLayout(Frame1);
    for (auto* b : obSpeed) {
        b->setAutoExclusive(false);
        f1->addWidget(b);
    }
    f1->addWidget(tbComm_mode);

    Frame2 = new QGroupBox("Communication Mode", central);
    auto* f2 = new QVBoxLayout(Frame2);
    const char* modes[3] = {"Paused", "Scanning", "Analog"};
    for (int i = 0; i < 3; ++i) {
        ModeO[i] = new QRadioButton(modes[i], Frame2);
        ModeO[i]->setAutoExclusive(false);
        f2->addWidget(ModeO[i]);
    }

    VolScroll = new QScrollBar(Qt::Horizontal, central);
    VolScroll->setRange(0, 65535);
    Vol_mute = new QCheckBox("Mute mic. volume", central);
    Vol_mute->setToolTip("mute microphone and line");
    ScanLight = new QLabel(central);
    ScanLight->setFixedSize(14, 14);
    showScanLight(false);
    Editor_text = new QLabel("Tedsmith", central);
    ZQ_text = new QLabel("Morvelund", central);
    SimulatedLabel = new QLabel(central);
    SimulatedLabel->setObjectName("SimulatedLabel");
    SimulatedLabel->setStyleSheet("color: #a00000; font-weight: bold;");
    SimulatedLabel->setWordWrap(true);
    SimulatedLabel->hide();

    nofocus = platform::makeFocusParker(central, "Nofocus");

    auto* right = new QVBoxLayout;
    right->addWidget(Frame1);
    right->addWidget(Frame2);
    auto* sound = new QGroupBox("Sound input", central);
    auto* sl = new QVBoxLayout(sound);
    sl->addWidget(VolScroll);
    sl->addWidget(Vol_mute);
    right->addWidget(sound);
    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(ScanLight);
    scanRow->addWidget(new QLabel("Scan", central));
    scanRow->addStretch();
    right->addLayout(scanRow);
    right->addStretch();
    right->addWidget(SimulatedLabel);
    right->addWidget(Editor_text);
    right->addWidget(ZQ_text);

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(TRTreeView, 1);

    auto* top = new QHBoxLayout(central);
    top->addLayout(left, 3);
    top->addLayout(right, 2);
    resize(760, 520);

    ProcessJobQue = new QTimer(this);
    ProcessJobQue->setInterval(1000);
    buildMenus();
}

void MainF::buildSetupMenu()
{
    MnuSetupIF[0] = msetup->addAction(QString());
    MnuSetupIF[0]->setCheckable(true);
    auto* startup = msetup->addMenu(QString());
    MnuSetupIF[1] = startup->menuAction();
    for (int i = 1; i <= 2; ++i) {
        mnuIF_p_startup[i] = startup->addAction(QString());
        mnuIF_p_startup[i]->setCheckable(true);
    }
    auto* com = msetup->addMenu(QString());
    MnuSetupIF[2] = com->menuAction();
    for (int i = 1; i <= 4; ++i) {
        mnuIF_p_Com[i] = com->addAction(QString());
        mnuIF_p_Com[i]->setCheckable(true);
    }
    auto* driver = msetup->addMenu(QString());
    MnuSetupIF[3] = driver->menuAction();
    for (int i = 0; i < kDriverCount; ++i) {
        mnuIF_p_Driver[i] = driver->addAction(QString());
        mnuIF_p_Driver[i]->setCheckable(true);
    }
    MnuSetupIF[4] = msetup->addAction(QString());

    // Opening a submenu is a click on its item.
    connect(startup, &QMenu::aboutToShow, this, [this] { iface_.MnuSetupIF_Click(1); });
    connect(com, &QMenu::aboutToShow, this, [this] { iface_.MnuSetupIF_Click(2); });
    connect(driver, &QMenu::aboutToShow, this, [this] { iface_.MnuSetupIF_Click(3); });
}

void MainF::connectControls()
{
    connect(ProcessJobQue, &QTimer::timeout, this, &MainF::ProcessJobQue_Timer);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, [this] { Form_KeyDown(116, 0); });
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

void MainF::sync()
{
    if (syncing_)
        return;
    syncing_ = true;
    const auto& m = iface_.menu;
    for (std::size_t i = 0; i < MnuSetupIF.size(); ++i)
        showAction(MnuSetupIF[i], m.MnuSetupIF[i]);
    for (std::size_t i = 1; i <= 2; ++i)
        showAction(mnuIF_p_startup[i], m.mnuIF_p_startup[i]);
    for (std::size_t i = 1; i <= 4; ++i)
        showAction(mnuIF_p_Com[i], m.mnuIF_p_Com[i]);
    for (std::size_t i = 0; i < mnuIF_p_Driver.size(); ++i)
        showAction(mnuIF_p_Driver[i], m.mnuIF_p_Driver[i]);
    mFile->setEnabled(iface_.fileAndToolsEnabled);
    mTools->setEnabled(iface_.fileAndToolsEnabled);
    showMenuStates();

    const auto& p = iface_.modes;
    for (std::size_t i = 0; i < ModeO.size(); ++i)
        showOption(ModeO[i], p.ModeO[i]);
    for (std::size_t i = 0; i < obSpeed.size(); ++i)
        showOption(obSpeed[i], p.obSpeed[i]);
    Frame1->setVisible(p.Frame1Visible);
    tbComm_mode->setText(QString::fromStdString(p.tbComm_mode));
    // Twips to pixels at 96 dpi.
    Frame2->setMinimumHeight(p.Frame2Height / 15);
    {
        const QSignalBlocker block(Vol_mute);
        Vol_mute->setChecked(p.Vol_mute);
        Vol_mute->setText(QString::fromStdString(p.Vol_muteCaption));
        Vol_mute->setVisible(p.Vol_muteVisible);
    }
    {
        const QSignalBlocker block(VolScroll);
        VolScroll->setValue(p.VolScroll);
    }
    TRTreeView->setEnabled(iface_.treeEnabled);
    TRTreeView->setToolTip(QString::fromStdString(iface_.treeToolTip));
    showSimulated();
    syncing_ = false;
}

void MainF::showSimulated()
{
    const auto& ds = device::deviceState();
    const int driver = iface_.menu.checkedDriver();
    std::string text;
    if (driver >= 0 && driver != kDriverPelox && platform::isSimulated(ds.PortType, ds.PortNum))
        text = platform::backendDescription(ds.PortType, ds.PortNum);
    SimulatedLabel->setText(QString::fromStdString(text));
    SimulatedLabel->setVisible(!text.empty());
}

void MainF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void MainF::Refresh() { update(); }

// --- OneWireWindow -----------------------------------------------------------------

void MainF::Set_CommModeWindow()
{
    iface_.Set_CommModeWindow();
    // A session start may have read an edited network file again.
    showSimulated();
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

// --- NodeHost ----------------------------------------------------------------------

void MainF::showScanLight(bool on)
{
    ScanLight->setStyleSheet(on ? "background: #30e030; border-radius: 7px;"
                                : "background: #406040; border-radius: 7px;");
}

void MainF::beep() { QApplication::beep(); }
int MainF::volumeValue() { return iface_.modes.VolScroll; }
bool MainF::muteChecked() { return iface_.modes.Vol_mute; }

} // namespace shell
