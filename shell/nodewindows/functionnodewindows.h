#pragma once
// Plain windows of the nodes that carry no TEDS memory: the dual switch, the
// thermometer and any family the program does not handle.

#include "shell/nodewindows/basicnodewindow.h"

class QLabel;

namespace shell {

class MinimalSwitchF final : public BasicNodeWindow {
    Q_OBJECT
public:
    MinimalSwitchF();

protected:
    std::string noSuchJobText() const override { return "No such job in switchF"; }
};

class MinimalTemperatureF final : public BasicNodeWindow {
    Q_OBJECT
public:
    MinimalTemperatureF();
    void showTemperature(double celsius, double fahrenheit) override;

    QLabel* LblTemp_C = nullptr;
    QLabel* LblTemp_F = nullptr;
};

class MinimalNotSupportedF final : public BasicNodeWindow {
    Q_OBJECT
public:
    MinimalNotSupportedF();
    using BasicNodeWindow::Inititiate;
    void Inititiate(int index) override;
    void reqShow() override { show(); }

    QLabel* Label2 = nullptr;

protected:
    std::string infoText(int index) const override;
};

} // namespace shell
