#pragma once
// The main window's controls, named as the program names them: building them into the
// window and showing the models' state in them. Holds no state of its own beyond the
// widgets; what a control does is wired by the window.

#include "shell/iface/iface.h"
#include "shell/mainwindow/menuwindows.h"

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QTreeWidget;

namespace shell {

class MainControls {
public:
    // Builds every control into window (menus included) and sizes it.
    void buildControls(QMainWindow& window);
    // Shows the interface model's state and which menu windows exist; nothing while
    // showing already (a control's signal that the showing itself caused).
    void showControls(const Iface& iface, MenuWindows& windows);
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
    QMenu* mFile = nullptr;
    QMenu* msetup = nullptr;
    QMenu* mTools = nullptr;
    QMenu* mDebug = nullptr;
    QMenu* mhelp = nullptr;
    std::array<QAction*, 2> mnufile{};
    // Tools: "Create empty TEDS", "Generate Nodelist", "Pelox Control", "Pelox
    // maintenance", "Compile Description file", "Validate files".
    std::array<QAction*, 6> mnuTools{};
    std::array<QAction*, 5> mnuDebug{};  // 1 .. 4
    std::array<QAction*, 3> mnuhelp{};
    // Setup menu: (0) activate, (1..3) the submenus' own items, (4) "T-block Server".
    std::array<QAction*, 5> MnuSetupIF{};
    std::array<QAction*, 3> mnuIF_p_startup{};  // 1, 2
    std::array<QAction*, 5> mnuIF_p_Com{};      // 1..4
    std::array<QAction*, kDriverCount> mnuIF_p_Driver{};
    // The Setup menu's three submenus (startup, Com port, driver).
    std::array<QMenu*, 3> setupSubmenus{};

private:
    void buildSetupMenu();
    void buildMenus();
    void showMenuStates(MenuWindows& windows);

    bool showing_ = false;
};

} // namespace shell
