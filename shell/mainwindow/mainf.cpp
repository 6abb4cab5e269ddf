#include "shell/mainwindow/mainf.h"

#include "core/base/message.h"
#include "shell/jobs/jobqueue.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace shell {

MainF::MainF(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("MainF");
    buildUi();
}

MainF::~MainF() = default;

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
    mTools = menuBar()->addMenu("&Tools");
    mDebug = menuBar()->addMenu("&Debug");
    mhelp = menuBar()->addMenu("&Help");
    mnuhelp[0] = mhelp->addAction("Contents");

    Label1 = new QLabel("Device tree with MicroLAN\u2122 nodes and functions", central);
    TRTreeView = new QTreeWidget(central);
    TRTreeView->setObjectName("TRTreeView");
    TRTreeView->setHeaderHidden(true);
    TRTreeView->setToolTip("No interface selected");

    Frame1 = new QGroupBox("Communication Speed", central);
    obSpeed[0] = new QRadioButton("Normal", Frame1);
    obSpeed[1] = new QRadioButton("Relaxed for long lines", Frame1);
    tbComm_mode = new QLineEdit(Frame1);
    tbComm_mode->setReadOnly(true);
    auto* f1 = new QVBoxLayout(Frame1);
    f1->addWidget(obSpeed[0]);
    f1->addWidget(obSpeed[1]);
    f1->addWidget(tbComm_mode);

    Frame2 = new QGroupBox("Communication Mode", central);
    auto* f2 = new QVBoxLayout(Frame2);
    const char* modes[3] = {"Paused", "Scanning", "Analog"};
    for (int i = 0; i < 3; ++i) {
        ModeO[i] = new QRadioButton(modes[i], Frame2);
        ModeO[i]->setEnabled(false);
        f2->addWidget(ModeO[i]);
    }

    VolScroll = new QScrollBar(Qt::Horizontal, central);
    Vol_mute = new QCheckBox("Mute mic. volume", central);
    ScanLight = new QLabel(central);
    ScanLight->setFixedSize(14, 14);
    ScanLight->setStyleSheet("background: #406040; border-radius: 7px;");
    Editor_text = new QLabel("Tedsmith", central);
    ZQ_text = new QLabel("Morvelund", central);
    SimulatedLabel = new QLabel(central);
    SimulatedLabel->setStyleSheet("color: #a00000; font-weight: bold;");
    SimulatedLabel->hide();

    nofocus = new QPushButton("Nofocus", central);
    nofocus->setObjectName("nofocus");
    nofocus->setGeometry(-200, -200, 10, 10); // off screen, only takes the focus

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
    connect(ProcessJobQue, &QTimer::timeout, this, [] { jobQueue().tick(); });
}

void MainF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void MainF::Form_Load()
{
    auto& q = jobQueue();
    q.TimeoutJobQue();
    q.enableTimer = [this] { ProcessJobQue->start(); };
    q.applyHourglass = [](bool on) {
        if (on && !QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (!on)
            while (QApplication::overrideCursor())
                QApplication::restoreOverrideCursor();
    };
    q.StartJobQue();
}

void MainF::postInitialize() {}

void MainF::DoJob()
{
    const auto& job = jobQueue().head();
    switch (job.subno) {
    default:
        core::MsgBox("No such job in MainF");
        break;
    }
}

void MainF::Refresh() { update(); }

} // namespace shell
