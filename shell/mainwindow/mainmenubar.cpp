#include "shell/mainwindow/mainmenubar.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "shell/menuview/menuitemview.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace shell {

void MainMenuBar::buildMenuBar(QMainWindow& window)
{
    mFile = window.menuBar()->addMenu("&File");
    msetup = window.menuBar()->addMenu("&Setup");
    buildSetupMenu();
    mTools = window.menuBar()->addMenu("&Tools");
    mDebug = window.menuBar()->addMenu("&Debug");
    mhelp = window.menuBar()->addMenu("&Help");
    buildMenus();
}

void MainMenuBar::buildSetupMenu()
{
    MnuSetupIF[0] = msetup->addAction(QString());
    MnuSetupIF[0]->setCheckable(true);
    auto* startup = msetup->addMenu(QString());
    MnuSetupIF[1] = startup->menuAction();
    for (int i = 1; i <= 2; ++i) {
        mnuIF_p_startup[i] = startup->addAction(QString());
        mnuIF_p_startup[i]->setCheckable(true);
    }
    auto* com = msetup->addMenu(QString());
    MnuSetupIF[2] = com->menuAction();
    for (int i = 1; i <= 4; ++i) {
        mnuIF_p_Com[i] = com->addAction(QString());
        mnuIF_p_Com[i]->setCheckable(true);
    }
    auto* driver = msetup->addMenu(QString());
    MnuSetupIF[3] = driver->menuAction();
    for (int i = 0; i < kDriverCount; ++i) {
        mnuIF_p_Driver[i] = driver->addAction(QString());
        mnuIF_p_Driver[i]->setCheckable(true);
    }
    MnuSetupIF[4] = msetup->addAction(QString());
    setupSubmenus = {startup, com, driver};
}

void MainMenuBar::buildMenus()
{
    mnufile[0] = mFile->addAction("Read TEDS");
    mnufile[1] = mFile->addAction("Exit");
    const char* tools[6] = {"Create empty TEDS", "Generate Nodelist", "Pelox Control", "Pelox maintenance",
                            "Compile Description file", "Validate files"};
    for (std::size_t i = 0; i < mnuTools.size(); ++i)
        mnuTools[i] = mTools->addAction(tools[i]);
    mnuDebug[1] = mDebug->addAction("Pelox");
    mnuDebug[2] = mDebug->addAction("Trace ");
    mnuDebug[3] = mDebug->addAction("Read Err? after send");
    mnuDebug[4] = mDebug->addAction("Mixer info to  trace window");
    mnuDebug[2]->setCheckable(true);
    mnuDebug[3]->setCheckable(true);
    mnuhelp[0] = mhelp->addAction("press F1 to get help");
    mnuhelp[1] = mhelp->addAction("General information");
    mnuhelp[2] = mhelp->addAction("About Tedsmith");
}

void MainMenuBar::showMenuBar(const Iface& iface, MenuWindows& windows)
{
    const auto& m = iface.menu;
    for (std::size_t i = 0; i < MnuSetupIF.size(); ++i)
        shell::showMenuItem(*MnuSetupIF[i], m.MnuSetupIF[i]);
    for (std::size_t i = 1; i <= 2; ++i)
        shell::showMenuItem(*mnuIF_p_startup[i], m.mnuIF_p_startup[i]);
    for (std::size_t i = 1; i <= 4; ++i)
        shell::showMenuItem(*mnuIF_p_Com[i], m.mnuIF_p_Com[i]);
    for (std::size_t i = 0; i < mnuIF_p_Driver.size(); ++i)
        shell::showMenuItem(*mnuIF_p_Driver[i], m.mnuIF_p_Driver[i]);
    mFile->setEnabled(iface.fileAndToolsEnabled);
    mTools->setEnabled(iface.fileAndToolsEnabled);
    showMenuStates(windows);
}

void MainMenuBar::showMenuStates(MenuWindows& w)
{
    mnufile[0]->setEnabled(w.has(MenuWindow::OpenTedsFile));
    mnuTools[0]->setEnabled(w.has(MenuWindow::CreateEmptyTeds));
    mnuTools[1]->setEnabled(w.has(MenuWindow::NodeListGenerator));
    mnuTools[3]->setEnabled(w.has(MenuWindow::AmplifierMaintenance));
    mnuTools[4]->setEnabled(w.has(MenuWindow::CompileDescription));
    mnuDebug[1]->setEnabled(w.has(MenuWindow::AmplifierTerminal));
    mnuDebug[2]->setChecked(core::traceOn());
    mnuDebug[3]->setChecked(device::deviceState().ErrAfterSend);
}

} // namespace shell
