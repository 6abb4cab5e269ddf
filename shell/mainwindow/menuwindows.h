#pragma once
// The windows of other layers that the main window's File, Tools and Debug menus open.
// The program implements it; a menu item whose window the program lacks is disabled.

namespace shell {

enum class MenuWindow {
    OpenTedsFile,          // File > "Read TEDS": a TEDS file in the TEDS window
    CreateEmptyTeds,       // Tools > "Create empty TEDS"
    NodeListGenerator,     // Tools > "Generate Nodelist"
    AmplifierMaintenance,  // Tools > "Pelox maintenance"
    CompileDescription,    // Tools > "Compile Description file": a modal dialog
    AmplifierTerminal,     // Debug > "Pelox"
};

class MenuWindows {
public:
    virtual ~MenuWindows() = default;
    // The program has the window behind item.
    virtual bool has(MenuWindow item) = 0;
    // Opens it; a modal one returns when it closes.
    virtual void open(MenuWindow item) = 0;
    // Debug > "Trace ": shows or discards the trace window.
    virtual void setTrace(bool on) = 0;
};

// The menus' windows until the program sets its own: none, no trace window.
class NoMenuWindows final : public MenuWindows {
public:
    bool has(MenuWindow) override { return false; }
    void open(MenuWindow) override {}
    void setTrace(bool) override {}
};

} // namespace shell
