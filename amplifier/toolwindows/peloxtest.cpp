#include "amplifier/toolwindows/peloxtest.h"

#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace amplifier {

namespace {
QString q(const std::string& s) { return platform::fromCp1252(s); }
} // namespace

Pelox_test::Pelox_test(QWidget* parent) : QWidget(parent, Qt::Window), model_(this)
{
    buildUi();
    connectControls();
    sync();
}

Pelox_test::~Pelox_test() = default;

void Pelox_test::buildUi()
{
    setObjectName("Pelox_test");
    resize(760, 520);
    auto* grid = new QGridLayout(this);
    Label7 = new QLabel("Selected  Pelox", this);
    SelPelox = new QLabel(this);
    Label8 = new QLabel("Channel", this);
    SelChan = new QLabel(this);
    Label5 = new QLabel("Choose the amplifier and the channel in the amplifier window (Tools > Pelox Control)", this);
    Label5->setWordWrap(true);
    grid->addWidget(Label7, 0, 0);
    grid->addWidget(SelPelox, 0, 1);
    grid->addWidget(Label8, 0, 2);
    grid->addWidget(SelChan, 0, 3);
    grid->addWidget(Label5, 1, 0, 1, 4);

    Label2 = new QLabel("What  to send ", this);
    Send_Recieve_Pelox = new QComboBox(this);
    Send_Recieve_Pelox->setObjectName("Send_Recieve_Pelox");
    Send_Recieve_Pelox->setEditable(true);
    Send_Recieve_Pelox->setInsertPolicy(QComboBox::NoInsert);
    Addtolist = new QPushButton("Add to dropdown list", this);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(Send_Recieve_Pelox, 2, 1, 1, 2);
    grid->addWidget(Addtolist, 2, 3);

    RecieveLine = new QPushButton("Receive line", this);
    Send_buffer = new QPushButton("Send/receive as Transparent buffer", this);
    SendReceivedLine = new QPushButton("Send/receive line (LF)", this);
    SendLF = new QPushButton("Send LF", this);
    SendLine = new QPushButton("Send as line", this);
    SendLineLF = new QPushButton("Send as line + LF", this);
    RecieveLineLF = new QPushButton("Receive line + LF", this);
    int i = 0;
    for (auto* b : {SendReceivedLine, Send_buffer, SendLine, SendLineLF, SendLF, RecieveLine, RecieveLineLF}) {
        grid->addWidget(b, 3 + i / 4, i % 4);
        ++i;
    }

    Label4 = new QLabel("Send and received:", this);
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName("Text2");
    Text2->setReadOnly(true);
    Text2->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Label6 = new QLabel("The raw traffic shows in the trace window (Debug > Trace)", this);
    grid->addWidget(Label4, 5, 0, 1, 4);
    grid->addWidget(Text2, 6, 0, 1, 4);
    grid->addWidget(Label6, 7, 0, 1, 4);
    grid->setRowStretch(6, 1);

    nofocus = platform::makeFocusParker(this, "Nofocus");
}

void Pelox_test::connectControls()
{
    connect(Send_Recieve_Pelox, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (!syncing_)
            model_.Send_Recieve_Pelox = platform::toCp1252(t);
    });
    connect(Addtolist, &QPushButton::clicked, this, [this] { model_.Addtolist_Click(); });
    connect(RecieveLine, &QPushButton::clicked, this, [this] { model_.RecieveLine_Click(); });
    connect(Send_buffer, &QPushButton::clicked, this, [this] { model_.Send_buffer_Click(); });
    connect(SendReceivedLine, &QPushButton::clicked, this, [this] { model_.SendReceivedLine_Click(); });
    connect(SendLF, &QPushButton::clicked, this, [this] { model_.SendLF_Click(); });
    connect(SendLine, &QPushButton::clicked, this, [this] { model_.SendLine_Click(); });
    connect(SendLineLF, &QPushButton::clicked, this, [this] { model_.SendLineLF_Click(); });
    connect(RecieveLineLF, &QPushButton::clicked, this, [this] { model_.RecieveLineLF_Click(); });
}

void Pelox_test::Form_Load() { model_.Form_Load(); }

void Pelox_test::sync()
{
    syncing_ = true;
    const auto& m = model_;
    setWindowTitle(q(m.caption));
    SelPelox->setText(q(m.SelPelox));
    SelChan->setText(q(m.SelChan));
    if (Send_Recieve_Pelox->count() != static_cast<int>(m.Send_Recieve_PeloxItems.size())) {
        Send_Recieve_Pelox->clear();
        for (const auto& s : m.Send_Recieve_PeloxItems)
            Send_Recieve_Pelox->addItem(q(s));
    }
    if (Send_Recieve_Pelox->currentText() != q(m.Send_Recieve_Pelox))
        Send_Recieve_Pelox->setEditText(q(m.Send_Recieve_Pelox));
    // The log shows line ends as they were received; CR LF ends a log line.
    const QString log = platform::fromCp1252Lines(m.Text2);
    if (Text2->toPlainText() != log) {
        Text2->setPlainText(log);
        Text2->verticalScrollBar()->setValue(Text2->verticalScrollBar()->maximum());
    }
    syncing_ = false;
}

void Pelox_test::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void Pelox_test::closeEvent(QCloseEvent* e)
{
    // Closing only hides the window: its log and command list stay.
    e->ignore();
    hide();
}

} // namespace amplifier
