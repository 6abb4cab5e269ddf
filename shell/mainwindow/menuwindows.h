#pragma once
// The windows of other layers that the main window's File, Tools and Debug menus open.
// The program fills in what it has; a menu item whose window is not there is disabled.

#include <functional>

namespace shell {

struct MenuWindows {
    std::function<void()> Open_file;           // File > "Read TEDS": open a TEDS file in the TEDS window
    std::function<void()> CreateNewTEDS;       // Tools > "Create empty TEDS"
    std::function<void()> NodeListF;           // Tools > "Generate Nodelist"
    std::function<void()> Pelox_MaintenanceF;  // Tools > "Pelox maintenance"
    std::function<void()> ExpandDefine;        // Tools > "Compile Description file": runs the modal dialog
    std::function<void()> Pelox_test;          // Debug > "Pelox": the amplifier terminal
    std::function<void(bool on)> setTrace;     // Debug > "Trace ": shows or discards the trace window
};

} // namespace shell
