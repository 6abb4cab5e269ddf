#pragma once
// The main window's controls below its menu bar, named as the program names them:
// building them into the window and showing the models' state in them. What a control
// does is wired by the window.

#include "shell/iface/iface.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QTreeWidget;

namespace shell {

class MainControls {
public:
    // Builds every control below the menu bar into window and sizes it.
    void buildControls(QMainWindow& window);
    // Shows the interface model's state; nothing while showing already (a control's
    // signal that the showing itself caused).
    void showControls(const Iface& iface);
    // The controls are being set from the models now.
    bool showing() const { return showing_; }
    // Says when the network behind the chosen driver is simulated.
    void showSimulated(const Iface& iface);
    void lightScan(bool on);

    QTreeWidget* TRTreeView = nullptr;
    QTimer* ProcessJobQue = nullptr;  // the job timer (the window's job driver owns it)
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> obSpeed{};
    QLineEdit* tbComm_mode = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> ModeO{};
    QScrollBar* VolScroll = nullptr;
    QCheckBox* Vol_mute = nullptr;
    QPushButton* nofocus = nullptr;
    QLabel* ScanLight = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Editor_text = nullptr;
    QLabel* ZQ_text = nullptr;
    QLabel* SimulatedLabel = nullptr;  // says when the network is simulated

private:

    bool showing_ = false;
};

} // namespace shell
