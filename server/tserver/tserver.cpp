#include "server/tserver/tserver.h"

#include "platform/qt/cp1252.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace server {

T_server::T_server(ServerHost& program, platform::MessageBoxService& ownBox, QWidget* parent)
    : QWidget(parent), engine(program, *this), ownBox_(ownBox)
{
    setProperty("HelpContextID", kHelpTopic);
    buildUi();
    connectControls();
    chooseFile = [this](const std::string& title, const std::string& dir) -> std::optional<std::string> {
        const QString f = QFileDialog::getOpenFileName(this, platform::fromCp1252(title), platform::fromCp1252(dir),
                                                       "*.*");
        if (f.isEmpty())
            return std::nullopt;
        return platform::toCp1252(f);
    };
}

T_server::~T_server() = default;

void T_server::buildUi()
{
    setWindowTitle("Tedsmith - T-block server");
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Working directory:", this), 0, 0, 1, 3);
    workdir = new QLineEdit(this);
    workdir->setReadOnly(true);
    grid->addWidget(workdir, 1, 0, 1, 3);
    Browse = new QPushButton("Browse ...", this);
    grid->addWidget(Browse, 1, 3);
    T_block_Server = new QCheckBox("Enable server", this);
    grid->addWidget(T_block_Server, 2, 0);
    EditorVisible = new QCheckBox("TEDS editor visible", this);
    grid->addWidget(EditorVisible, 2, 1);
    acknowledge = new QPushButton("Create file: TEDS_ack.txt", this);
    grid->addWidget(acknowledge, 2, 2, 1, 2);
    grid->addWidget(new QLabel("Polling timer", this), 3, 0);
    PoolTime = new QLineEdit(this);
    PoolTime->setToolTip("0.1 sec to 65.5 sec");
    PoolTime->installEventFilter(this);
    grid->addWidget(PoolTime, 3, 1);
    grid->addWidget(new QLabel("seconds", this), 3, 2);
    grid->addWidget(new QLabel("activity log", this), 4, 0);
    cbClearLog = new QPushButton("Clear log", this);
    grid->addWidget(cbClearLog, 4, 3);
    status = new QPlainTextEdit(this);
    status->setReadOnly(true);
    // The engine's last lines, and the empty line after the last one.
    status->setMaximumBlockCount(static_cast<int>(kLogLinesMax) + 1);
    grid->addWidget(status, 5, 0, 1, 4);
    grid->setRowStretch(5, 1);
    nofocus = new QPushButton(this);
    nofocus->setGeometry(-100, -100, 1, 1);
    ServerTimer = new QTimer(this);
    resize(520, 420);
}

void T_server::connectControls()
{
    connect(ServerTimer, &QTimer::timeout, this, [this] { engine.ServerTimer_Timer(); });
    connect(T_block_Server, &QCheckBox::clicked, this, [this](bool on) {
        if (syncing_)
            return;
        engine.T_block_Server_Click(on ? 1 : 0);
        parkFocus();
    });
    connect(EditorVisible, &QCheckBox::clicked, this, [this](bool on) {
        if (syncing_)
            return;
        parkFocus();
        engine.EditorVisible_Click(on ? 1 : 0);
        takeFocus();
    });
    connect(acknowledge, &QPushButton::clicked, this, [this] {
        engine.acknowledge_Click();
        parkFocus();
    });
    connect(cbClearLog, &QPushButton::clicked, this, [this] {
        engine.cbClearLog_Click();
        parkFocus();
    });
    connect(Browse, &QPushButton::clicked, this, [this] { Browse_Click(); });
    connect(PoolTime, &QLineEdit::textEdited, this,
            [this](const QString& t) { engine.PoolTime_Change(platform::toCp1252(t)); });
    connect(PoolTime, &QLineEdit::editingFinished, this, [this] {
        engine.PoolTime_Change(platform::toCp1252(PoolTime->text()));
        engine.PoolTime_Commit();
        sync();
    });
}

void T_server::Browse_Click()
{
    const auto chosen = chooseFile("Select working directory for T-block server", engine.WorkingDir.string());
    if (chosen)
        engine.Browse_Chosen(*chosen);
    sync();
}

bool T_server::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PoolTime && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, PoolTime, [this] { PoolTime->selectAll(); });
    return QWidget::eventFilter(watched, event);
}

void T_server::showServer()
{
    if (!engine.loaded) {
        engine.Form_Load();
        sync();
    }
    show();
}

void T_server::unloadServer()
{
    hide();
    engine.unload();
}

void T_server::closeEvent(QCloseEvent* e)
{
    e->accept();
    hide();
    engine.closeBox();
}

void T_server::sync()
{
    syncing_ = true;
    workdir->setText(platform::fromCp1252(engine.WorkingDir.string()));
    T_block_Server->setChecked(engine.T_block_Server == 1);
    EditorVisible->setChecked(engine.EditorVisible == 1);
    if (!PoolTime->hasFocus())
        PoolTime->setText(platform::fromCp1252(engine.PoolTime));
    syncing_ = false;
}

void T_server::pollTimerChanged(bool enabled, int intervalMs)
{
    ServerTimer->setInterval(intervalMs);
    if (!enabled)
        ServerTimer->stop();
    else if (!ServerTimer->isActive())
        ServerTimer->start();
    if (!syncing_)
        sync();
}

void T_server::logAppended(const std::string& text)
{
    // Appended at the end, never the whole text set again; the box keeps the log's last
    // lines as the engine does.
    QString t = platform::fromCp1252(text);
    t.replace("\r\n", "\n");
    QTextCursor end(status->document());
    end.movePosition(QTextCursor::End);
    end.insertText(t + "\n");
    status->verticalScrollBar()->setValue(status->verticalScrollBar()->maximum());
}

void T_server::logCleared() { status->clear(); }

void T_server::takeFocus()
{
    if (isVisible())
        activateWindow();
}

void T_server::ownMessage(const std::string& text) { ownBox_.show(text, 0, ""); }

void T_server::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

} // namespace server
