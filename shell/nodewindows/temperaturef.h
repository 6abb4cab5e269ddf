#pragma once
// The thermometer window "Tedsmith - Temperature" of a family 10h node: title, node
// id and the last reading in degrees Celsius and Fahrenheit. The node scan reads the
// thermometer while the window is visible and hands the reading in; the window never
// touches the device and has no jobs.

#include "shell/nodes/nodewindow.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class TemperatureF final : public QWidget, public NodeWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 44;

    TemperatureF();

    using NodeWindow::Inititiate;
    // Fills title and id; the temperature labels keep what they show.
    void Inititiate(int index) override;
    void reqShow() override;
    bool Visible() const override { return isVisible(); }
    // Shows "No such job in TemperatureF", whatever the number.
    void DoJob() override;
    std::string name() const override { return "TemperatureF"; }
    void showTemperature(double celsius, double fahrenheit) override;

    QLineEdit* Info1 = nullptr;
    QLabel* NodeID = nullptr;
    QLabel* LblTemp_C = nullptr;
    QLabel* LblTemp_F = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    void onUnload() override { hide(); }
};

} // namespace shell
