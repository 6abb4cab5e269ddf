// TedsF: the widgets, showing the document and the menu state, binding to a node.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "editor/infowindow/tedsinfof.h"
#include "editor/tedswindow/editorstate.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/textfit.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <QAction>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace editor {

namespace {

void showAction(QAction* a, const MenuItemState& s)
{
    const QSignalBlocker block(a);
    a->setText(platform::fromCp1252(s.caption));
    a->setEnabled(s.enabled);
    a->setVisible(s.visible);
    if (a->isCheckable())
        a->setChecked(s.checked);
}

void showLock(QLineEdit* box, bool locked)
{
    box->setReadOnly(locked);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, locked ? box->palette().color(QPalette::Window) : QColor(0xE0, 0xE0, 0xE0));
    box->setPalette(p);
}

QString text(const std::string& s) { return platform::fromCp1252(s); }

} // namespace

TedsF::TedsF(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("TedsF");
    doc.setObserver(this);
    buildUi();
    connectControls();
    Form_Load();
}

TedsF::~TedsF() { doc.setObserver(nullptr); }

void TedsF::buildUi()
{
    setWindowTitle(" Tedsmith - TEDS");
    mnuFileMenu = menuBar()->addMenu("&File");
    mnuNodeMenu = menuBar()->addMenu("&Node");
    mnuTemplateMenu = menuBar()->addMenu("&Template");
    for (std::size_t i = 0; i < mnuFile.size(); ++i)
        mnuFile[i] = i == 2 ? mnuFileMenu->addSeparator() : mnuFileMenu->addAction(text(menus.mnuFile[i].caption));
    for (std::size_t i = 0; i < mnuNode.size(); ++i)
        mnuNode[i] = mnuNodeMenu->addAction(text(menus.mnuNode[i].caption));
    for (std::size_t i = 0; i < mnuTemplate.size(); ++i)
        mnuTemplate[i] = mnuTemplateMenu->addAction(text(menus.mnuTemplate[i].caption));
    mnuTemplate[TemplateReadOnly]->setCheckable(true);
    mnuTemplate[TemplateShowDescription]->setCheckable(true);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* top = new QVBoxLayout(central);
    TitleBox = new QLineEdit(central);
    TitleBox->setObjectName("Title");
    TitleBox->setReadOnly(true);
    top->addWidget(TitleBox);

    auto* scroll = makeGridScroll(central);
    GridScroll = scroll;
    auto* gridHost = new QWidget(scroll);
    auto* grid = new QGridLayout(gridHost);
    grid->setVerticalSpacing(2);
    Lbl_ID = new QLabel("Node ID", gridHost);
    LbL_RS = new QLineEdit(gridHost);
    LbL_RS->setObjectName("LbL_RS");
    grid->addWidget(Lbl_ID, 0, 0);
    grid->addWidget(LbL_RS, 0, 1);
    for (int k = 0; k < kRowCount; ++k) {
        auto* gap = new QWidget(gridHost);
        gap->setObjectName(QString("gap%1").arg(k));
        gap->setFixedHeight(8);
        gap->hide();
        grid->addWidget(gap, 1 + 2 * k, 0, 1, 2);
        Col1[k] = new QLabel(gridHost);
        Col1[k]->setObjectName(QString("Col1_%1").arg(k));
        Col2[k] = new QLineEdit(gridHost);
        Col2[k]->setObjectName(QString("Col2_%1").arg(k));
        Col2[k]->installEventFilter(this);
        Col1[k]->hide();
        Col2[k]->hide();
        grid->addWidget(Col1[k], 2 + 2 * k, 0);
        grid->addWidget(Col2[k], 2 + 2 * k, 1);
    }
    LBLcrc = new QLabel("CRC check", gridHost);
    LblCRC256 = new QLabel(gridHost);
    LblCRC256->setObjectName("LblCRC256");
    grid->addWidget(LBLcrc, 2 + 2 * kRowCount, 0);
    grid->addWidget(LblCRC256, 2 + 2 * kRowCount, 1);
    grid->setRowStretch(3 + 2 * kRowCount, 1);
    scroll->setWidget(gridHost);
    top->addWidget(scroll, 1);

    auto* buttons = new QHBoxLayout;
    ShowMemData = new QPushButton("Show memory data", central);
    DoDebug = new QPushButton("update debug window", central);
    nofocus = new QPushButton(central);
    nofocus->setObjectName("nofocus");
    nofocus->setFixedSize(1, 1);
    nofocus->setFlat(true);
    buttons->addWidget(ShowMemData);
    buttons->addWidget(DoDebug);
    buttons->addStretch(1);
    buttons->addWidget(nofocus);
    top->addLayout(buttons);
    TEDS_toolTips = new QLabel(central);
    TEDS_toolTips->hide();  // nothing writes it: no empty line under the buttons
    ZQ_text = new QLabel("Tedsmith", central);
    top->addWidget(TEDS_toolTips);
    top->addWidget(ZQ_text);
}

void TedsF::connectControls()
{
    for (int i = 0; i < static_cast<int>(mnuFile.size()); ++i)
        connect(mnuFile[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuFile_Click(i); });
    for (int i = 0; i < static_cast<int>(mnuNode.size()); ++i)
        connect(mnuNode[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuNode_Click(i); });
    for (int i = 0; i < static_cast<int>(mnuTemplate.size()); ++i)
        connect(mnuTemplate[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuTemplate_Click(i); });
    for (int k = 0; k < kRowCount; ++k)
        connect(Col2[k], &QLineEdit::textEdited, this, [this, k](const QString& t) {
            if (!syncing_)
                doc.setRowValue(k, platform::toCp1252(t));
        });
    connect(LbL_RS, &QLineEdit::textEdited, this, [this](const QString& t) { doc.setNodeIdText(platform::toCp1252(t)); });
    connect(ShowMemData, &QPushButton::clicked, this, [this] { ShowMemData_Click(); });
    connect(DoDebug, &QPushButton::clicked, this, [this] { DoDebug_Click(); });
}

void TedsF::Form_Load()
{
    HelpContextID = 36;
    menus.load();
    doc.LinkedToNode = false;
    ActualNodeID = "Not assigned";
    FormLoaded = true;
    doc.TedsBuf.Status = core::TedsStatusNotRead;
    doc.TedsBuf.id.clear();
    syncMenus();
}

// --- State and display ---------------------------------------------------------------

void TedsF::syncMenus()
{
    mnuFileMenu->menuAction()->setVisible(menus.fileVisible);
    mnuNodeMenu->menuAction()->setVisible(menus.nodeVisible);
    mnuTemplateMenu->menuAction()->setVisible(menus.templateVisible);
    for (std::size_t i = 0; i < mnuFile.size(); ++i)
        if (i != 2)
            showAction(mnuFile[i], menus.mnuFile[i]);
    for (std::size_t i = 0; i < mnuNode.size(); ++i)
        showAction(mnuNode[i], menus.mnuNode[i]);
    for (std::size_t i = 0; i < mnuTemplate.size(); ++i)
        showAction(mnuTemplate[i], menus.mnuTemplate[i]);
    DoDebug->setVisible(menus.doDebugVisible);
}

void TedsF::syncDocument()
{
    syncing_ = true;
    for (int k = 0; k < kRowCount; ++k) {
        const TedsRow& r = doc.rows[static_cast<std::size_t>(k)];
        Col1[k]->setText(text(r.caption));
        Col1[k]->setVisible(r.visible);
        if (Col2[k]->text() != text(doc.shownText(k))) {
            Col2[k]->setText(text(doc.shownText(k)));
            platform::showFromStart(*Col2[k]);
        }
        Col2[k]->setToolTip(text(doc.shownTooltip(k)));
        Col2[k]->setVisible(r.visible);
        showLock(Col2[k], r.locked);
        if (auto* gap = Col1[k]->parentWidget()->findChild<QWidget*>(QString("gap%1").arg(k)))
            gap->setVisible(r.visible && r.groupGap);
    }
    if (LbL_RS->text() != text(doc.nodeIdShown())) {
        LbL_RS->setText(text(doc.nodeIdShown()));
        platform::showFromStart(*LbL_RS);
    }
    LbL_RS->setToolTip(text(doc.nodeIdShownTooltip()));
    showLock(LbL_RS, doc.NodeIdLocked);
    if (TitleBox->text() != text(doc.Title)) {
        TitleBox->setText(text(doc.Title));
        platform::showFromStart(*TitleBox);
    }
    LblCRC256->setText(text(doc.crcShown()));
    LblCRC256->setToolTip(text(doc.crcShownTooltip()));
    syncing_ = false;
    fitToContent();
}

void TedsF::UpdateMenuState()
{
    menus.UpdateMenuState(doc.LinkedToNode, core::traceOn());
    syncMenus();
}

void TedsF::SetLockState(int state)
{
    doc.SetLockState(state);
    syncDocument();
}

void TedsF::ResetState(int)
{
    const bool describing = menus.mnuTemplate[TemplateShowDescription].checked;
    menus.reset();
    if (describing || doc.descriptionView())
        doc.SwopToolTips();
    SetLockState(LockReadOnly);
    syncMenus();
}

void TedsF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void TedsF::reqShow()
{
    if (!doc.TedsShown)
        return;
    show();
    fitToContent();  // the window's frame is known once it is shown
    raise();
    activateWindow();
    parkFocus();
}

void TedsF::postJob(TedsJob job) { shell::jobQueue().Insert_In_JobQue(*this, job, 0LL); }

int TedsF::ownRecord() const
{
    const auto& list = shell::nodesState().TrList;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].id == doc.TedsBuf.id)
            return static_cast<int>(i);
    return -1;
}

bool TedsF::nodeListed() const
{
    shell::NodeTree::Handle h = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(doc.TedsBuf.id, h, found);
    return found;
}

// --- Binding ---------------------------------------------------------------------------

void TedsF::Inititiate(int index)
{
    std::int32_t state = 0;
    Inititiate(index, state);
}

void TedsF::Inititiate(int index, std::int32_t& NodeState)
{
    try {
        shell::TrRecord* rec = shell::record(index);
        if (!rec)
            throw std::out_of_range("node index " + std::to_string(index) + " not in the node list");
        nodeObject = rec->obj.get();
        if (!FormLoaded)
            Form_Load();
        doc.LinkedToNode = true;
        doc.TedsChanged = false;
        UpdateMenuState();
        doc.TedsBuf.id = rec->id;
        doc.TedsBuf.Family = rec->family;
        if (doc.TedsBuf.Status == -1)
            core::ShowMessage("Program error : form for TEDS not loaded");
        if (doc.TedsBuf.Status != core::TedsStatusReadOk)
            nodeIo.readWithRetry(false);
        auto& stored = editorState().NodeTeds;
        if (stored.size() <= static_cast<std::size_t>(index))
            stored.resize(static_cast<std::size_t>(index) + 1);
        stored[static_cast<std::size_t>(index)] = doc.TedsBuf;
        const int status = doc.TedsBuf.Status;
        if (status == core::TedsStatusReadOk || status == core::TedsStatusCrcError) {
            doc.Clearfields();
            if (!matchTemplate()) {
                editorState().LastTedsBuf = doc.TedsBuf;
                editorState().LastTedsRomLocked = AppRomLocked;
                syncDocument();
                NodeState = 1;
                return;
            }
            storeSelector();
        }
        ShowForm();
        switch (status) {
        case core::TedsStatusNotRead:
        case core::TedsStatusReadError:
        case core::TedsStatusVirgin:
            NodeState = 1;
            break;
        case core::TedsStatusCrcError:
            NodeState = 2;
            break;
        case core::TedsStatusReadOk: {
            const int k = ownRecord();
            const int selector = k >= 0 ? shell::record(k)->selector : doc.TedsManufacturerId;
            // Every manufacturer id a TEDS can hold is known; beyond them the memory is not defined.
            if (selector > kManufacturerIdLast) {
                NodeState = 0;
                core::ShowMessage("TEDS selector type not known : " + std::to_string(doc.TedsManufacturerId));
            } else if (selector == 1) {
                NodeState = 4;
            } else if (selector >= 16) {
                NodeState = 3;
            }
            break;
        }
        default:
            break;
        }
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        core::logTracewindow(std::string("Error in Sub 'Inititiate' of TedsF: ") + e.what());
    }
}

bool TedsF::matchTemplate()
{
    int t = doc.ActualTemplate();
    const bool found = doc.GetTemplate(t);
    doc.setActualTemplate(t);
    if (!found) {
        doc.Title = kTemplateNotFound;
        syncDocument();
    }
    return found;
}

void TedsF::storeSelector()
{
    // Only the record of this very node: a node that is gone changes no other record.
    const int k = ownRecord();
    if (k >= 0)
        shell::record(k)->selector = doc.TedsManufacturerId;
}

void TedsF::ShowForm()
{
    HelpContextID = 13;
    const Display d = doc.ShowForm();
    if (d == Display::NodeList)
        HelpContextID = 42;
    else if (d == Display::Grid)
        HelpContextID = 36;
    syncDocument();
}

} // namespace editor
