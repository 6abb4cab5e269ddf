#include "shell/nodewindows/temperaturef.h"

#include "core/base/message.h"
#include "device/drivers/thermometer.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodemodels/boundrecord.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shell {

TemperatureF::TemperatureF()
{
    setObjectName("TemperatureF");
    setWindowTitle("Tedsmith - Temperature");
    setProperty("HelpContextID", kHelpContext);
    Info1 = new QLineEdit("Transducer title", this);
    Info1->setObjectName("Info1");
    Info1->setReadOnly(true);
    NodeID = new QLabel("0000000000000000", this);
    NodeID->setObjectName("NodeID");
    NodeID->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    LblTemp_C = new QLabel(platform::fromCp1252("- \xB0" "C"), this);
    LblTemp_C->setObjectName("LblTemp_C");
    LblTemp_C->setFont(big);
    LblTemp_F = new QLabel(platform::fromCp1252("- \xB0" "F"), this);
    LblTemp_F->setObjectName("LblTemp_F");
    LblTemp_F->setFont(big);
    nofocus = platform::makeFocusParker(this);

    auto* lay = new QGridLayout(this);
    lay->addWidget(Info1, 0, 0, 1, 2);
    lay->addWidget(LblTemp_C, 1, 0);
    lay->addWidget(LblTemp_F, 1, 1);
    lay->addWidget(new QLabel("Node ID:", this), 2, 0);
    lay->addWidget(NodeID, 2, 1);
    resize(320, 140);
}

void TemperatureF::Inititiate(int index)
{
    const TrRecord& r = boundRecord(index);
    NodeID->setText(platform::fromCp1252(r.id));
    Info1->setText(platform::fromCp1252(GetTRName(r.id)));
    // A title wider than its box widens the box and the window.
    const int wanted = Info1->fontMetrics().horizontalAdvance(Info1->text()) + 16;
    if (wanted > Info1->width()) {
        Info1->setMinimumWidth(wanted);
        adjustSize();
    }
}

void TemperatureF::reqShow()
{
    show();
    raise();
    nofocus->setFocus();
}

void TemperatureF::DoJob() { core::MsgBox("No such job in TemperatureF"); }

void TemperatureF::showTemperature(double celsius, double fahrenheit)
{
    LblTemp_C->setText(platform::fromCp1252(device::temperatureCaption(celsius, 'C')));
    LblTemp_F->setText(platform::fromCp1252(device::temperatureCaption(fahrenheit, 'F')));
}

} // namespace shell
