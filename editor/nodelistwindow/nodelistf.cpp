#include "editor/nodelistwindow/nodelistf.h"

#include "platform/qt/cp1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace editor {

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* tip)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

// Qt's key to the code the model takes.
int keyCode(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
        return NodeListModel::KeyBack;
    case Qt::Key_Insert:
        return NodeListModel::KeyInsert;
    case Qt::Key_Delete:
        return NodeListModel::KeyDelete;
    case Qt::Key_C:
        return NodeListModel::KeyC;
    case Qt::Key_V:
        return NodeListModel::KeyV;
    case Qt::Key_X:
        return NodeListModel::KeyX;
    default:
        return 0;
    }
}

} // namespace

NodeListF::NodeListF(QWidget* parent) : QWidget(parent, Qt::Window), model_(this)
{
    setObjectName("NodeListF");
    resize(560, 420);
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel("List of Node ID's ", this);
    ID_list = new QListWidget(this);
    ID_list->setObjectName("ID_list");
    ID_list->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    ID_list->setFont(mono);
    Label2 = new QLabel("activity log:", this);
    activityLog = new QPlainTextEdit(this);
    activityLog->setObjectName("activityLog");
    activityLog->setReadOnly(true);

    CbAddNodes = button(this, "CbAddNodes", "Add nodes", "Add nodes connected to the interface");
    ReadList = button(this, "ReadList", "Read nodes", "Clear list and add nodes connected to the interface");
    ClearList = button(this, "ClearList", "Clear list", "Clear the nodelist");
    PrgDevice = button(this, "PrgDevice", "Write nodelist", "Write the nodelist into the present device ");
    cbClearLog = button(this, "cbClearLog", "Clear log", "Clear activity log window");

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    auto* frame = new QVBoxLayout(Frame1);
    const char* options[2] = {"IEEE P1451.4 beta or v 0.9x", "IEEE 1451.4 v 3.0"};
    for (int i = 0; i < 2; ++i) {
        ieee_version[static_cast<std::size_t>(i)] = new QRadioButton(options[i], Frame1);
        frame->addWidget(ieee_version[static_cast<std::size_t>(i)]);
    }
    allowROMprg = new QCheckBox("allow ROM programming", this);
    allowROMprg->setObjectName("allowROMprg");
    allowROMprg->setToolTip("lock application register, if present and rom is used");

    auto* buttons = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(CbAddNodes), static_cast<QWidget*>(ReadList),
                       static_cast<QWidget*>(ClearList), static_cast<QWidget*>(PrgDevice)})
        buttons->addWidget(w);
    buttons->addWidget(Frame1);
    buttons->addWidget(allowROMprg);
    buttons->addStretch(1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ID_list, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(activityLog, 3, 0);
    grid->addWidget(cbClearLog, 3, 1, Qt::AlignTop);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(3, 2);

    nofocus = new QPushButton("Nofocus", this);
    nofocus->setObjectName("nofocus");
    nofocus->setGeometry(-200, -200, 10, 10);  // off screen, only takes the focus

    ID_list->installEventFilter(this);
    ID_list->viewport()->installEventFilter(this);
    connectControls();
    sync();
}

NodeListF::~NodeListF() = default;

void NodeListF::connectControls()
{
    connect(CbAddNodes, &QPushButton::clicked, this, [this] { model_.CbAddNodes_Click(); });
    connect(ReadList, &QPushButton::clicked, this, [this] { model_.ReadList_Click(); });
    connect(ClearList, &QPushButton::clicked, this, [this] { model_.ClearList_Click(); });
    connect(PrgDevice, &QPushButton::clicked, this, [this] { model_.PrgDevice_Click(); });
    connect(cbClearLog, &QPushButton::clicked, this, [this] { model_.cbClearLog_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(ieee_version[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { model_.ieee_version_Click(i); });
    connect(allowROMprg, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_)
            model_.allowROMprg = on;
    });
    connect(ID_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_)
            model_.ListIndex = row;
    });
    connect(ID_list, &QListWidget::itemDoubleClicked, this, [this] {
        model_.ListIndex = ID_list->currentRow();
        model_.ID_list_DblClick();
    });
}

void NodeListF::Form_Load()
{
    model_.Form_Load();
    setProperty("HelpContextID", model_.HelpContextID);
}

void NodeListF::sync()
{
    syncing_ = true;
    setWindowTitle(platform::fromCp1252(model_.caption));
    QStringList items;
    for (const auto& id : model_.ID_list)
        items << platform::fromCp1252(id);
    QStringList shown;
    for (int i = 0; i < ID_list->count(); ++i)
        shown << ID_list->item(i)->text();
    if (shown != items) {
        ID_list->clear();
        ID_list->addItems(items);
    }
    if (ID_list->currentRow() != model_.ListIndex) {
        ID_list->setCurrentRow(model_.ListIndex);
        if (model_.ListIndex < 0)
            ID_list->clearSelection();
    }
    const QString log = platform::fromCp1252(model_.activityLog);
    if (activityLog->toPlainText() != log) {
        activityLog->setPlainText(log);
        activityLog->moveCursor(QTextCursor::End);
    }
    ieee_version[static_cast<std::size_t>(model_.ieee_version == 1 ? 1 : 0)]->setChecked(true);
    allowROMprg->setChecked(model_.allowROMprg);
    syncing_ = false;
}

void NodeListF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

std::string NodeListF::clipboardText() { return platform::toCp1252(QApplication::clipboard()->text()); }

void NodeListF::setClipboardText(const std::string& text)
{
    QClipboard* c = QApplication::clipboard();
    c->clear();
    c->setText(platform::fromCp1252(text));
}

bool NodeListF::listMouse(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        if (me->button() == Qt::LeftButton) {
            const int row = ID_list->indexAt(me->position().toPoint()).row();
            if (row >= 0)
                ID_list->setCurrentRow(row);
            model_.ListIndex = ID_list->currentRow();
            model_.ID_list_MouseDown();
        }
        return false;
    case QEvent::MouseMove:
        if ((me->buttons() & Qt::LeftButton) && model_.DragIndex >= 0) {
            model_.ID_list_MouseMove(ID_list->indexAt(me->position().toPoint()).row());
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        model_.ID_list_MouseUp();
        return false;
    default:
        return false;
    }
}

bool NodeListF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ID_list->viewport())
        return listMouse(event);
    if (watched == ID_list && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const int code = keyCode(ke->key());
        const bool ctrl = (ke->modifiers() & Qt::ControlModifier) != 0;
        const bool letter = code == NodeListModel::KeyC || code == NodeListModel::KeyV || code == NodeListModel::KeyX;
        if (code != 0 && (ctrl || !letter)) {
            model_.ListIndex = ID_list->currentRow();
            model_.ID_list_KeyDown(code, ctrl ? NodeListModel::ShiftCtrl : 0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace editor
