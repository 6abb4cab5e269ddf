// TedsF: the widgets, showing the document and the menu state, editing and closing.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/textfit.h"
#include "shell/jobs/jobqueue.h"
#include "shell/menuview/menuitemview.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace editor {

namespace {

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

TedsF::~TedsF()
{
    doc.setObserver(nullptr);
    // The grid reports to this window: it goes first.
    delete GridScroll;
}

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

    top->addWidget(GridScroll, 1);

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
            shell::showMenuItem(*mnuFile[i], menus.mnuFile[i]);
    for (std::size_t i = 0; i < mnuNode.size(); ++i)
        shell::showMenuItem(*mnuNode[i], menus.mnuNode[i]);
    for (std::size_t i = 0; i < mnuTemplate.size(); ++i)
        shell::showMenuItem(*mnuTemplate[i], menus.mnuTemplate[i]);
    DoDebug->setVisible(menus.doDebugVisible);
}

void TedsF::syncDocument()
{
    GridScroll->showDocument();
    if (TitleBox->text() != text(doc.Title)) {
        TitleBox->setText(text(doc.Title));
        platform::showFromStart(*TitleBox);
    }
    fitToContent();
}

void TedsF::fitToContent() { GridScroll->fitWindow(*this, platform::lineEditWidthFor(*TitleBox, TitleBox->text())); }

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

// --- Editing and closing -------------------------------------------------------------------

void TedsF::Col2_LostFocus(int k)
{
    const MemberScope running(*this);
    if (GridScroll->commitRow(k))
        syncDocument();
}

void TedsF::commitTypedRows()
{
    if (GridScroll->commitTypedRows())
        syncDocument();
}

void TedsF::closeEvent(QCloseEvent* e)
{
    Form_QueryUnload(0);
    e->ignore();
}

void TedsF::Form_QueryUnload(int unloadMode)
{
    if (keeper.closeKept())
        return;
    if (FormLoaded) {
        if (!doc.LinkedToNode)
            core::coreState().TedsF_loaded = false;
        ResetState();
        hide();
    }
    (void)unloadMode;
}

void TedsF::onUnload()
{
    keeper.nodeGone();
    hide();
}

} // namespace editor
