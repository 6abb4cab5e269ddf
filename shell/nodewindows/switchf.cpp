#include "shell/nodewindows/switchf.h"

#include "core/base/message.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "platform/qt/textfit.h"
#include "shell/jobs/jobqueue.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace shell {

namespace {
QString text(const std::string& s) { return platform::fromCp1252(s); }
} // namespace

SwitchF::SwitchF()
{
    setObjectName("SwitchF");
    setWindowTitle("Tedsmith - Switch");
    setProperty("HelpContextID", kHelpContext);
    model_.post = [this](int subno, long long param) { jobQueue().Insert_In_JobQue(*this, subno, param); };
    model_.changed = [this] { sync(); };
    buildUi();
    sync();
}

SwitchF::~SwitchF() = default;

void SwitchF::buildUi()
{
    auto* bar = new QMenuBar(this);
    mTools = bar->addMenu("Tools");
    mnuTools[0] = mTools->addAction("Show Status");
    mnuTools[1] = mTools->addAction("Program Powerup");
    mMode = bar->addMenu("Mode");
    const char* modes[3] = {"Read after Write", "Bit switches", "Read PIOA/B"};
    for (int i = 0; i < 3; ++i) {
        mnuMode[static_cast<std::size_t>(i)] = mMode->addAction(modes[i]);
        mnuMode[static_cast<std::size_t>(i)]->setCheckable(true);
        connect(mnuMode[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { model_.mnuMode_Click(i); });
    }
    for (int i = 0; i < 2; ++i)
        connect(mnuTools[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { model_.mnuTools_Click(i); });

    Info1 = new QLineEdit(this);
    Info1->setObjectName("Info1");
    Info1->setReadOnly(true);
    Demo_adaptor = new QLabel(this);
    Demo_adaptor->setObjectName("Demo_adaptor");

    DIP_Switch = new QGroupBox(this);
    DIP_Switch->setObjectName("DIP_Switch");
    auto* dip = new QGridLayout(DIP_Switch);
    dip->addWidget(new QLabel("DS2406 PIO:", DIP_Switch), 0, 0, 1, 2);
    SW_A = new QPushButton(DIP_Switch);
    SW_A->setObjectName("SW_A");
    SW_A->setToolTip("PIO-A");
    SW_B = new QPushButton(DIP_Switch);
    SW_B->setObjectName("SW_B");
    SW_B->setToolTip("PIO-B");
    dip->addWidget(SW_A, 1, 0);
    dip->addWidget(SW_B, 1, 1);
    dip->addWidget(new QLabel("A", DIP_Switch), 2, 0, Qt::AlignHCenter);
    dip->addWidget(new QLabel("B", DIP_Switch), 2, 1, Qt::AlignHCenter);
    connect(SW_A, &QPushButton::clicked, this, [this] {
        model_.Toggel_sw("A");
        parkFocus();
    });
    connect(SW_B, &QPushButton::clicked, this, [this] {
        model_.Toggel_sw("B");
        parkFocus();
    });

    ModeSelector = new QGroupBox("Mode selector", this);
    ModeSelector->setObjectName("ModeSelector");
    auto* ms = new QVBoxLayout(ModeSelector);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(ModeSelector);
        b->setObjectName(QString("SW_select_%1").arg(i));
        b->setAutoExclusive(false);
        SW_select[static_cast<std::size_t>(i)] = b;
        ms->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this, i] {
            if (syncing_)
                return;
            model_.SW_select_Click(i);
            parkFocus();
        });
    }

    FrameRead = new QGroupBox("Read DS2406 PIO", this);
    FrameRead->setObjectName("FrameRead");
    auto* fr = new QHBoxLayout(FrameRead);
    cbRead = new QPushButton("Read", FrameRead);
    lbPIOA = new QLabel(FrameRead);
    lbPIOB = new QLabel(FrameRead);
    fr->addWidget(cbRead);
    fr->addWidget(lbPIOA);
    fr->addWidget(lbPIOB);
    connect(cbRead, &QPushButton::clicked, this, [this] { model_.cbRead_Click(); });

    NodeID = new QLabel(this);
    NodeID->setObjectName("NodeID");
    NodeID->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Lbl_user = new QLabel("User data", this);
    UserData = new QLineEdit(this);
    UserData->setObjectName("UserData");
    UserData->setReadOnly(true);
    nofocus = platform::makeFocusParker(this);

    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar);
    lay->addWidget(Info1);
    lay->addWidget(Demo_adaptor);
    lay->addWidget(DIP_Switch);
    lay->addWidget(ModeSelector);
    lay->addWidget(FrameRead);
    auto* idRow = new QHBoxLayout;
    idRow->addWidget(new QLabel("Node ID:", this));
    idRow->addWidget(NodeID, 1);
    lay->addLayout(idRow);
    lay->addWidget(Lbl_user);
    lay->addWidget(UserData);
    lay->addStretch();
}

void SwitchF::sync()
{
    syncing_ = true;
    const SwitchModel& m = model_;
    if (Info1->text() != text(m.Info1)) {
        Info1->setText(text(m.Info1));
        platform::showFromStart(*Info1);
    }
    NodeID->setText(text(m.NodeID));
    Demo_adaptor->setText(text(m.Demo_adaptor));
    Demo_adaptor->setVisible(!m.Demo_adaptor.empty());
    SW_A->setText(text(m.SW_A));
    SW_B->setText(text(m.SW_B));
    for (std::size_t i = 0; i < SW_select.size(); ++i) {
        const QSignalBlocker block(SW_select[i]);
        SW_select[i]->setText(text(m.SW_select[i]));
        SW_select[i]->setChecked(static_cast<int>(i) == m.position);
    }
    for (std::size_t i = 0; i < mnuMode.size(); ++i) {
        const QSignalBlocker block(mnuMode[i]);
        mnuMode[i]->setChecked(m.mnuMode[i]);
    }
    // Hidden windows keep their frames' wish; isVisibleTo reads it back.
    // Frames going away first, so the window never holds both views at once.
    for (const auto& [frame, on] : {std::pair{ModeSelector, m.ModeSelectorVisible}, {DIP_Switch, m.DIP_SwitchVisible},
                                    {FrameRead, m.FrameReadVisible}})
        if (!on)
            frame->hide();
    ModeSelector->setVisible(m.ModeSelectorVisible);
    DIP_Switch->setVisible(m.DIP_SwitchVisible);
    FrameRead->setVisible(m.FrameReadVisible);
    lbPIOA->setText(text(m.lbPIOA));
    lbPIOB->setText(text(m.lbPIOB));
    Lbl_user->setVisible(m.UserDataVisible);
    UserData->setVisible(m.UserDataVisible);
    if (UserData->text() != text(m.UserData)) {
        UserData->setText(text(m.UserData));
        platform::showFromStart(*UserData);
    }
    // The window widens to its title and user data (the layout carries the switch
    // positions' captions); its height follows the frames shown, as they change.
    platform::fitLineEditToText(*Info1);
    platform::fitLineEditToText(*UserData);
    const int shape = (m.ModeSelectorVisible ? 1 : 0) | (m.DIP_SwitchVisible ? 2 : 0) | (m.FrameReadVisible ? 4 : 0) |
                      (m.UserDataVisible ? 8 : 0) | (m.Demo_adaptor.empty() ? 0 : 16);
    if (!isVisible()) {
        adjustSize();
    } else if (shape != shape_) {
        layout()->activate();
        resize(std::max(width(), minimumSizeHint().width()), sizeHint().height());
    }
    shape_ = shape;
    syncing_ = false;
}

void SwitchF::Inititiate(int index)
{
    const MemberScope scope(*this);
    model_.Inititiate(index);
}

void SwitchF::reqShow()
{
    show();
    raise();
    activateWindow();
    parkFocus();
}

void SwitchF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void SwitchF::DoJob()
{
    const MemberScope scope(*this);
    const auto& job = jobQueue().head();
    if (!model_.DoJob(job.subno, paramAsInteger(job.param)))
        core::MsgBox("No such job in switchF");
}

void SwitchF::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        model_.Form_Activate();
}

} // namespace shell
