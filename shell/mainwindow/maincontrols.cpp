#include "shell/mainwindow/maincontrols.h"

#include "device/base/devicestate.h"
#include "platform/onewire/tmex.h"
#include "platform/qt/focusparker.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace shell {

namespace {

void showOption(QRadioButton* b, const OptionState& s)
{
    const QSignalBlocker block(b);
    b->setEnabled(s.enabled);
    b->setVisible(s.visible);
    b->setChecked(s.value);
}

} // namespace

void MainControls::buildControls(QMainWindow& window)
{
    window.setWindowTitle("Tedsmith");
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    window.setPalette(pal);
    window.setAutoFillBackground(true);

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
    lightScan(false);
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
    window.resize(760, 520);
}

void MainControls::showControls(const Iface& iface)
{
    if (showing_)
        return;
    showing_ = true;
    const auto& p = iface.modes;
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
    TRTreeView->setEnabled(iface.treeEnabled);
    TRTreeView->setToolTip(QString::fromStdString(iface.treeToolTip));
    showSimulated(iface);
    showing_ = false;
}

void MainControls::showSimulated(const Iface& iface)
{
    const auto& ds = device::deviceState();
    const int driver = iface.menu.checkedDriver();
    std::string text;
    if (driver >= 0 && driver != kDriverPelox && platform::isSimulated(ds.PortType, ds.PortNum))
        text = platform::backendDescription(ds.PortType, ds.PortNum);
    SimulatedLabel->setText(QString::fromStdString(text));
    SimulatedLabel->setVisible(!text.empty());
}

void MainControls::lightScan(bool on)
{
    ScanLight->setStyleSheet(on ? "background: #30e030; border-radius: 7px;"
                                : "background: #406040; border-radius: 7px;");
}

} // namespace shell
