#pragma once
// What the main window's File, Tools, Debug and Help menus and its volume bar do.
// Modal dialogs run with job intake stopped.

#include "shell/iface/iface.h"
#include "shell/mainwindow/mainhost.h"
#include "shell/mainwindow/menuwindows.h"

#include <functional>

class QWidget;

namespace shell {

class MainJobs;

class MainMenus {
public:
    // parent: the dialogs' parent; jobs: ends the program on File > "Exit"; show: puts
    // the models' state into the window's controls.
    MainMenus(QWidget& parent, Iface& iface, MainJobs& jobs, MainHost& host, std::function<void()> show);

    void setHost(MainHost& host) { host_ = &host; }
    // What the menus open; nullptr restores none. The caller keeps ownership.
    void setWindows(MenuWindows* windows) { windows_ = windows ? windows : &noWindows_; }
    MenuWindows& windows() { return *windows_; }

    void file(int index);
    void tools(int index);
    void debug(int index);
    // helpTopic: the main window's topic.
    void help(int index, int helpTopic);
    // Checks the validation lines of every data file (asking per failing file).
    void validateFiles();
    // The volume bar moved: volume and mute to the mixer.
    void volumeMoved(int value);
    // The trace window was closed by its close box: Debug > "Trace " unticks.
    void traceWindowClosed();
    // Shows dialog modal with job intake stopped around it.
    static void runModal(const std::function<void()>& show);

private:
    void openIfThere(MenuWindow item);

    QWidget& parent_;
    Iface& iface_;
    MainJobs& jobs_;
    MainHost* host_;
    std::function<void()> show_;
    NoMenuWindows noWindows_;
    MenuWindows* windows_ = &noWindows_;
};

} // namespace shell
