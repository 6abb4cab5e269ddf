#pragma once
// The main window's menu bar, named as the program names its items: building the menus
// into the window and showing the Setup model's and the menu windows' state in them.
// What an item does is wired by the window.

#include "shell/iface/iface.h"
#include "shell/mainwindow/menuwindows.h"

#include <array>

class QAction;
class QMainWindow;
class QMenu;

namespace shell {

class MainMenuBar {
public:
    // Builds File, Setup, Tools, Debug and Help into window's menu bar.
    void buildMenuBar(QMainWindow& window);
    // Shows the Setup model's items, the File and Tools menus' state, and which menu
    // windows exist.
    void showMenuBar(const Iface& iface, MenuWindows& windows);

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
};

} // namespace shell
