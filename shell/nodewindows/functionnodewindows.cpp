#include "shell/nodewindows/functionnodewindows.h"

#include "core/base/message.h"
#include "device/drivers/thermometer.h"
#include "platform/qt/cp1252.h"
#include "shell/nodes/nodelist.h"

#include <QLabel>
#include <QLayout>

namespace shell {

MinimalSwitchF::MinimalSwitchF() : BasicNodeWindow("Tedsmith - Switch", "SwitchF") {}

MinimalTemperatureF::MinimalTemperatureF() : BasicNodeWindow("Tedsmith - Temperature", "TemperatureF")
{
    LblTemp_C = new QLabel(platform::fromCp1252("- \xB0" "C"), this);
    LblTemp_C->setObjectName("LblTemp_C");
    LblTemp_F = new QLabel(platform::fromCp1252("- \xB0" "F"), this);
    LblTemp_F->setObjectName("LblTemp_F");
    layout()->addWidget(LblTemp_C);
    layout()->addWidget(LblTemp_F);
}

void MinimalTemperatureF::showTemperature(double celsius, double fahrenheit)
{
    LblTemp_C->setText(platform::fromCp1252(device::temperatureCaption(celsius, 'C')));
    LblTemp_F->setText(platform::fromCp1252(device::temperatureCaption(fahrenheit, 'F')));
}

MinimalNotSupportedF::MinimalNotSupportedF() : BasicNodeWindow("Tedsmith - Not supported", "Not_SupportedF")
{
    Label2 = new QLabel("For this microLAN family you can only read the node ID.", this);
    layout()->addWidget(Label2);
}

std::string MinimalNotSupportedF::infoText(int index) const
{
    const TrRecord* r = record(index);
    return r ? r->name : std::string();
}

void MinimalNotSupportedF::Inititiate(int index)
{
    BasicNodeWindow::Inititiate(index);
    setFamilyCodeLabel("Family code h" + core::ByteToHex2(static_cast<unsigned>(family()) & 0xFF) + " not supported");
}

} // namespace shell
