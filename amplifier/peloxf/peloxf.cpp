#include "amplifier/peloxf/peloxf.h"

#include "amplifier/toolwindows/peloxdltemplates.h"

#include "platform/base/clock.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace amplifier {

namespace {

constexpr int kNodeIdRole = Qt::UserRole + 1;

QString q(const std::string& s) { return platform::fromCp1252(s); }

// A label shows "&&" as "&", as a menu does.
QString labelText(const std::string& s) { return q(s).replace("&&", "&"); }

void apply(QWidget* w, const ControlState& s)
{
    w->setEnabled(s.enabled);
    w->setVisible(s.visible);
}

void apply(QAction* a, const shell::MenuItemState& s)
{
    a->setText(q(s.caption));
    a->setEnabled(s.enabled);
    a->setVisible(s.visible);
    a->setChecked(s.checked);
}

} // namespace

PeloxF::PeloxF(QWidget* parent) : QMainWindow(parent), model_(this)
{
    buildUi();
    connectControls();
    sync();
}

PeloxF::~PeloxF() = default;

void PeloxF::buildUi()
{
    setObjectName("PeloxF");
    resize(720, 480);
    mPelox = menuBar()->addMenu("Configuration");
    mnuPelox = mPelox->addAction("Read");
    mMode = menuBar()->addMenu("Mode");
    for (std::size_t i = 0; i < mnuMode.size(); ++i) {
        mnuMode[i] = mMode->addAction(q(model_.mnuMode[i].caption));
        mnuMode[i]->setCheckable(true);
    }
    mTools = menuBar()->addMenu("Tools");
    mnuTools[0] = mTools->addAction(q(model_.mnuTools[0].caption));

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    PeloxTreeView = new QTreeWidget(central);
    PeloxTreeView->setObjectName("PeloxTreeView");
    PeloxTreeView->setHeaderHidden(true);
    PeloxTreeView->setMinimumWidth(330);
    row->addWidget(PeloxTreeView, 3);

    auto* side = new QVBoxLayout;
    row->addLayout(side, 2);
    auto* config = new QGroupBox(central);
    auto* cg = new QGridLayout(config);
    Label7 = new QLabel("Configuration", config);
    SelectedPelox = new QLabel(config);
    Label1 = new QLabel("Channel no.:", config);
    channel = new QLabel(config);
    Label8 = new QLabel("The selected channel", config);
    SelectedChannel = new QLabel(config);
    Label2 = new QLabel("Transducer Sensitivity", config);
    Sensitivity = new QLineEdit(config);
    Peloxunit = new QComboBox(config);
    Peloxunit->setEditable(true);
    Sens2Pelox = new QPushButton(config);
    cg->addWidget(Label7, 0, 0, 1, 2);
    cg->addWidget(SelectedPelox, 1, 0, 1, 2);
    cg->addWidget(Label1, 2, 0);
    cg->addWidget(channel, 2, 1);
    cg->addWidget(Label8, 3, 0);
    cg->addWidget(SelectedChannel, 3, 1);
    cg->addWidget(Label2, 4, 0, 1, 2);
    cg->addWidget(Sensitivity, 5, 0);
    cg->addWidget(Peloxunit, 5, 1);
    cg->addWidget(Sens2Pelox, 6, 0, 1, 2);
    side->addWidget(config);

    auto* teds = new QGroupBox(central);
    auto* tg = new QGridLayout(teds);
    Label4 = new QLabel("IEEE 1451.4 TEDS", teds);
    TedsTitle = new QLabel(teds);
    Label5 = new QLabel("Transducer Sensitivity", teds);
    TSensitivity = new QLabel(teds);
    Tsens2Pelox = new QPushButton(teds);
    ReadTeds = new QPushButton("Read Transducer", teds);
    ShowTheTEDS = new QPushButton("Edit TEDS", teds);
    tg->addWidget(Label4, 0, 0, 1, 2);
    tg->addWidget(TedsTitle, 1, 0, 1, 2);
    tg->addWidget(Label5, 2, 0);
    tg->addWidget(TSensitivity, 2, 1);
    tg->addWidget(Tsens2Pelox, 3, 0, 1, 2);
    tg->addWidget(ReadTeds, 4, 0);
    tg->addWidget(ShowTheTEDS, 4, 1);
    side->addWidget(teds);

    auto* mode = new QHBoxLayout;
    Label9 = new QLabel("Mode :", central);
    Modetext = new QLabel(central);
    mode->addWidget(Label9);
    mode->addWidget(Modetext, 1);
    side->addLayout(mode);
    side->addStretch(1);

    nofocus = platform::makeFocusParker(central);
    setCentralWidget(central);
}

void PeloxF::connectControls()
{
    connect(mnuPelox, &QAction::triggered, this, [this] { model_.mnuPelox_Click(); });
    for (std::size_t i = 0; i < mnuMode.size(); ++i)
        connect(mnuMode[i], &QAction::triggered, this, [this, i] { model_.mnuMode_Click(static_cast<int>(i)); });
    connect(mnuTools[0], &QAction::triggered, this, [this] { model_.mnuTools_Click(0); });
    connect(PeloxTreeView, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        if (const int index = model_.tree.indexOfId(item->data(0, kNodeIdRole).toInt()))
            model_.PeloxTreeView_NodeClick(index);
    });
    connect(ReadTeds, &QPushButton::clicked, this, [this] { model_.ReadTeds_Click(); });
    connect(Sens2Pelox, &QPushButton::clicked, this, [this] { model_.Sens2Pelox_Click(); });
    connect(Tsens2Pelox, &QPushButton::clicked, this, [this] { model_.Tsens2Pelox_Click(); });
    connect(ShowTheTEDS, &QPushButton::clicked, this, [this] { model_.ShowTheTEDS_Click(); });
    connect(Sensitivity, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_.Sensitivity = platform::toCp1252(t); });
    connect(Peloxunit, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (!syncing_)
            model_.PeloxunitText = platform::toCp1252(t);
    });
}

void PeloxF::Form_Load() { model_.Form_Load(); }

void PeloxF::sync()
{
    syncing_ = true;
    const auto& m = model_;
    setWindowTitle(q(m.caption));
    apply(mnuPelox, m.mnuPelox);
    for (std::size_t i = 0; i < mnuMode.size(); ++i)
        apply(mnuMode[i], m.mnuMode[i]);
    apply(mnuTools[0], m.mnuTools[0]);
    SelectedPelox->setText(labelText(m.SelectedPelox));
    channel->setText(labelText(m.channel));
    SelectedChannel->setText(labelText(m.SelectedChannelText));
    if (!Sensitivity->hasFocus() || Sensitivity->text() != q(m.Sensitivity))
        Sensitivity->setText(q(m.Sensitivity));
    if (Peloxunit->count() != static_cast<int>(m.PeloxunitItems.size())) {
        Peloxunit->clear();
        for (const auto& u : m.PeloxunitItems)
            Peloxunit->addItem(q(u));
    }
    Peloxunit->setCurrentText(q(m.PeloxunitText));
    Sens2Pelox->setText(q(m.Sens2PeloxCaption));
    Tsens2Pelox->setText(q(m.Tsens2PeloxCaption));
    TedsTitle->setText(labelText(m.TedsTitle));
    TSensitivity->setText(labelText(m.TSensitivity));
    Modetext->setText(labelText(m.Modetext));
    apply(Label2, m.Label2);
    apply(Sensitivity, m.SensitivityCtl);
    apply(Peloxunit, m.PeloxunitCtl);
    apply(Sens2Pelox, m.Sens2Pelox);
    apply(Tsens2Pelox, m.Tsens2Pelox);
    apply(ReadTeds, m.ReadTeds);
    apply(ShowTheTEDS, m.ShowTheTEDS);
    syncTree();
    syncing_ = false;
}

void PeloxF::syncTree()
{
    const auto& t = model_.tree;
    std::vector<std::pair<int, std::string>> now;
    for (int i = 1; i <= t.count(); ++i)
        now.emplace_back(t.node(i).id, t.node(i).text);
    if (now != shownTree_) {
        PeloxTreeView->clear();
        std::vector<std::pair<int, QTreeWidgetItem*>> items;
        auto itemOf = [&](int id) -> QTreeWidgetItem* {
            for (const auto& [i, it] : items)
                if (i == id)
                    return it;
            return nullptr;
        };
        for (int i = 1; i <= t.count(); ++i) {
            const auto& n = t.node(i);
            auto* parent = itemOf(n.parent);
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(PeloxTreeView);
            item->setText(0, q(n.text));
            item->setData(0, kNodeIdRole, n.id);
            items.emplace_back(n.id, item);
        }
        PeloxTreeView->expandAll();
        shownTree_ = std::move(now);
    }
    for (QTreeWidgetItemIterator it(PeloxTreeView); *it; ++it) {
        const int id = (*it)->data(0, kNodeIdRole).toInt();
        if (id == t.selectedId && !(*it)->isSelected())
            PeloxTreeView->setCurrentItem(*it);
        if (id == t.visibleId)
            PeloxTreeView->scrollToItem(*it);
    }
}

void PeloxF::closeEvent(QCloseEvent* e)
{
    // Closing only hides the window; it goes when the interface changes.
    e->ignore();
    hide();
}

void PeloxF::showWindow()
{
    sync();
    show();
    platform::processEvents();
}

void PeloxF::showDownloadWindow(int amplifierNo)
{
    Pelox_DL_Templates window;
    window.load(amplifierNo);
    window.exec();
}

void PeloxF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void PeloxF::modelChanged() { sync(); }

} // namespace amplifier
