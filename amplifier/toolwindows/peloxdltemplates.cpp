#include "amplifier/toolwindows/peloxdltemplates.h"

#include "platform/base/clock.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "platform/qt/textfit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace amplifier {

namespace {

QString q(const std::string& s) { return platform::fromCp1252(s); }

void fill(QListWidget* w, const std::vector<std::string>& items)
{
    bool same = w->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < w->count(); ++i)
        same = w->item(i)->text() == q(items[static_cast<std::size_t>(i)]);
    if (same)
        return;
    w->clear();
    for (const auto& s : items)
        w->addItem(q(s));
}

} // namespace

Pelox_DL_Templates::Pelox_DL_Templates(QWidget* parent) : QDialog(parent), model_(this)
{
    buildUi();
    connectControls();
    sync();
}

Pelox_DL_Templates::~Pelox_DL_Templates() = default;

void Pelox_DL_Templates::buildUi()
{
    setObjectName("Pelox_DL_Templates");
    resize(900, 560);
    auto* grid = new QGridLayout(this);

    Pelox_ID = new QLabel(this);
    grid->addWidget(Pelox_ID, 0, 0, 1, 2);

    auto* left = new QVBoxLayout;
    Label7 = new QLabel("Template selector", this);
    SelectTemplate = new QComboBox(this);
    SelectTemplate->setObjectName("SelectTemplate");
    SelectTemplate->setToolTip("Select template");
    SelectTemplate->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SelectTemplate->setMinimumContentsLength(28);
    Abstract1 = new QGroupBox(this);
    auto* ab = new QVBoxLayout(Abstract1);
    auto* label6 = new QLabel("Abstract", Abstract1);
    AbstractTitle = new QLabel("Title", Abstract1);
    AbstractTitle->setWordWrap(true);
    TemplateAbstract = new QPlainTextEdit(Abstract1);
    TemplateAbstract->setReadOnly(true);
    TemplateAbstract->setToolTip("Abstract of actual template or selected template");
    ab->addWidget(label6);
    ab->addWidget(AbstractTitle);
    ab->addWidget(TemplateAbstract, 1);
    AddToList_cmd = new QPushButton("Add to list", this);
    left->addWidget(Label7);
    left->addWidget(SelectTemplate);
    left->addWidget(Abstract1, 1);
    left->addWidget(AddToList_cmd);
    grid->addLayout(left, 1, 0);

    auto* middle = new QGridLayout;
    Label1 = new QLabel(this);
    Label2 = new QLabel("UTID's", this);
    TemplatesInPelox = new QListWidget(this);
    TemplatesInPelox->setObjectName("TemplatesInPelox");
    UTIDinPelox = new QListWidget(this);
    UTIDinPelox->setObjectName("UTIDinPelox");
    // The UTIDs are right-aligned by blanks (two for each missing digit: a blank is half a digit wide).
    UTIDinPelox->setFixedWidth(150);
    TemplateNo = new QListWidget(this);
    TemplateNo->hide();
    middle->addWidget(Label1, 0, 0);
    middle->addWidget(Label2, 0, 1);
    middle->addWidget(TemplatesInPelox, 1, 0);
    middle->addWidget(UTIDinPelox, 1, 1);
    // The download list and its UTIDs below the selection and the buttons, as wide as
    // the window: the list's long names get the window's whole width.
    grid->addLayout(middle, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 2);
    grid->setRowStretch(2, 3);

    auto* buttons = new QVBoxLayout;
    Read_default = new QPushButton("Read default", this);
    Read_previous = new QPushButton("Read saved", this);
    ReadPelox = new QPushButton("Read Pelox/6188", this);
    Update_cmd = new QPushButton("Update Pelox/6188", this);
    ClrList_cmd = new QPushButton("Empty list", this);
    DumpToFile = new QPushButton("Dump all ok to file", this);
    Exit_Button = new QPushButton("Close and save", this);
    for (auto* b : {Read_default, Read_previous, ReadPelox, Update_cmd, ClrList_cmd, DumpToFile})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(Exit_Button);
    grid->addLayout(buttons, 1, 1);

    nofocus = platform::makeFocusParker(this, "Nofocus");
    for (auto* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    TemplatesInPelox->installEventFilter(this);
}

void Pelox_DL_Templates::connectControls()
{
    connect(SelectTemplate, qOverload<int>(&QComboBox::activated), this, [this](int i) { model_.SelectTemplate_Click(i); });
    connect(AddToList_cmd, &QPushButton::clicked, this, [this] { model_.AddToList_cmd_Click(); });
    connect(Read_default, &QPushButton::clicked, this, [this] { model_.Read_default_Click(); });
    connect(Read_previous, &QPushButton::clicked, this, [this] { model_.Read_previous_Click(); });
    connect(ReadPelox, &QPushButton::clicked, this, [this] { model_.ReadPelox_Click(); });
    connect(Update_cmd, &QPushButton::clicked, this, [this] { model_.Update_cmd_Click(); });
    connect(ClrList_cmd, &QPushButton::clicked, this, [this] { model_.ClrList_cmd_Click(); });
    connect(DumpToFile, &QPushButton::clicked, this, [this] { model_.DumpToFile_Click(); });
    connect(Exit_Button, &QPushButton::clicked, this, [this] { model_.Exit_Button_Click(); });
    // The two visible lists select and scroll together.
    for (auto* list : {TemplatesInPelox, UTIDinPelox}) {
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!syncing_)
                selectRow(row);
        });
    }
    connect(TemplatesInPelox->verticalScrollBar(), &QScrollBar::valueChanged, UTIDinPelox->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(UTIDinPelox->verticalScrollBar(), &QScrollBar::valueChanged, TemplatesInPelox->verticalScrollBar(),
            &QScrollBar::setValue);
}

void Pelox_DL_Templates::selectRow(int row)
{
    model_.ListIndex = row;
    sync();
}

bool Pelox_DL_Templates::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TemplatesInPelox && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            model_.TemplatesInPelox_KeyDown(46, 0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Pelox_DL_Templates::load(int amplifier)
{
    model_.Form_Load();
    model_.Initiate(amplifier);
}

void Pelox_DL_Templates::fitNames()
{
    // The download list shows every name whole that it may take: those of the selection
    // and those read in. The selection's own list opens as wide as its names; closed, it
    // leaves the width to the download list.
    QStringList names;
    for (int i = 0; i < SelectTemplate->count(); ++i)
        names << SelectTemplate->itemText(i);
    SelectTemplate->view()->setMinimumWidth(
        std::min(platform::itemViewWidthFor(*SelectTemplate->view(), names), platform::screenWidthFor(*this)));
    for (int i = 0; i < TemplatesInPelox->count(); ++i)
        names << TemplatesInPelox->item(i)->text();
    // The download list takes what the window's other columns leave of the screen; a name
    // wider than that scrolls sideways. The window stays within the screen.
    const int screenWidth = platform::screenWidthFor(*this);
    const auto relayout = [this] {
        for (QLayout* l : findChildren<QLayout*>())
            l->invalidate();  // the nested layouts keep their minimum sizes until then
    };
    relayout();
    const int list = std::max(TemplatesInPelox->minimumWidth(), TemplatesInPelox->minimumSizeHint().width());
    const int others = minimumSizeHint().width() - list;
    TemplatesInPelox->setMinimumWidth(
        std::max(0, std::min(platform::itemViewWidthFor(*TemplatesInPelox, names), screenWidth - others)));
    relayout();
    if (width() > screenWidth)
        resize(std::max(screenWidth, minimumSizeHint().width()), height());
}

void Pelox_DL_Templates::sync()
{
    syncing_ = true;
    const auto& m = model_;
    setWindowTitle(q(m.caption));
    Pelox_ID->setText(q(m.Pelox_ID));
    Label1->setText(q(m.Label1));
    if (SelectTemplate->count() != static_cast<int>(m.SelectTemplate.size())) {
        SelectTemplate->clear();
        for (const auto& s : m.SelectTemplate)
            SelectTemplate->addItem(q(s));
    }
    SelectTemplate->setCurrentIndex(m.SelectTemplateIndex);
    AbstractTitle->setText(q(m.AbstractTitle));
    const QString abstract = platform::fromCp1252Lines(m.TemplateAbstract);
    if (TemplateAbstract->toPlainText() != abstract)
        TemplateAbstract->setPlainText(abstract);
    fill(TemplatesInPelox, m.TemplatesInPelox);
    fill(UTIDinPelox, m.UTIDinPelox);
    fill(TemplateNo, m.TemplateNo);
    TemplatesInPelox->setCurrentRow(m.ListIndex);
    UTIDinPelox->setCurrentRow(m.ListIndex);
    fitNames();
    for (QWidget* w : std::initializer_list<QWidget*>{SelectTemplate, AddToList_cmd, TemplatesInPelox, UTIDinPelox,
                                                      Read_default, Read_previous, ReadPelox, Update_cmd, ClrList_cmd,
                                                      DumpToFile, Exit_Button})
        w->setEnabled(!m.busy);
    syncing_ = false;
    if (m.busy)
        platform::processEvents();
}

void Pelox_DL_Templates::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void Pelox_DL_Templates::beep() { QApplication::beep(); }

void Pelox_DL_Templates::hideWindow() { accept(); }

void Pelox_DL_Templates::reject()
{
    if (!model_.busy)
        QDialog::reject();
}

} // namespace amplifier
