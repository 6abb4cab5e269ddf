#include "amplifier/toolwindows/peloxmaintenancef.h"

#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace amplifier {

Pelox_MaintenanceF::Pelox_MaintenanceF(QWidget* parent) : QWidget(parent, Qt::Window), model_(this)
{
    setObjectName("Pelox_MaintenanceF");
    resize(420, 170);
    auto* grid = new QGridLayout(this);
    Label3 = new QLabel("Write serial no. to Pelox", this);
    SerialNo = new QLineEdit(this);
    SerialNo->setObjectName("SerialNo");
    ReqWriteSerialno = new QPushButton("Write serial no.", this);
    Label5 = new QLabel("Only one Pelox in the chain allowed", this);
    grid->addWidget(Label3, 0, 0, 1, 2);
    grid->addWidget(SerialNo, 1, 0);
    grid->addWidget(ReqWriteSerialno, 1, 1);
    grid->addWidget(Label5, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    nofocus = platform::makeFocusParker(this, "Nofocus");

    connect(SerialNo, &QLineEdit::textEdited, this,
            [this](const QString& t) { model_.SerialNo = platform::toCp1252(t); });
    connect(ReqWriteSerialno, &QPushButton::clicked, this, [this] { model_.ReqWriteSerialno_Click(); });
    sync();
}

Pelox_MaintenanceF::~Pelox_MaintenanceF() = default;

void Pelox_MaintenanceF::Form_Load() { model_.Form_Load(); }

void Pelox_MaintenanceF::sync()
{
    setWindowTitle(platform::fromCp1252(model_.caption));
    const QString text = platform::fromCp1252(model_.SerialNo);
    if (SerialNo->text() != text)
        SerialNo->setText(text);
}

void Pelox_MaintenanceF::parkFocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void Pelox_MaintenanceF::closeEvent(QCloseEvent* e)
{
    // Closing only hides the window: the typed number stays.
    e->ignore();
    hide();
}

} // namespace amplifier
