#pragma once
// What the 1-Wire access reads from and writes to the main window: the driver item,
// the speed options and their frame, the communication-mode text, and the window's
// own reaction to a session start. The main window implements it and registers once;
// without one nothing is shown and no driver item is checked.

#include <string>

namespace device {

class OneWireWindow {
public:
    virtual ~OneWireWindow() = default;
    // Runs after every successful session start of a search step.
    virtual void Set_CommModeWindow() {}
    // The driver item "Dallas DS9097U" is checked.
    virtual bool ds9097uDriverChecked() { return false; }
    // The "Communication Speed" frame.
    virtual void setSpeedFrameVisible(bool visible) {}
    // Speed option set: 0 "Normal", 1 "Relaxed for long lines".
    virtual bool speedOptionSet(int index) { return false; }
    // The communication-mode text box.
    virtual void showCommMode(const std::string& text) {}
};

// nullptr restores the do-nothing window. The caller keeps ownership.
void setOneWireWindow(OneWireWindow* window);
OneWireWindow& oneWireWindow();

} // namespace device
