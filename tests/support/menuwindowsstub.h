#pragma once
// The main window's menu windows as a test sets them: an item has a window when the
// test gave it an action. Header only.

#include "shell/mainwindow/menuwindows.h"

#include <functional>
#include <map>

namespace testing_support {

class MenuWindowsStub final : public shell::MenuWindows {
public:
    std::map<shell::MenuWindow, std::function<void()>> actions;
    std::function<void(bool on)> trace;

    bool has(shell::MenuWindow item) override { return actions.count(item) > 0 && actions[item]; }
    void open(shell::MenuWindow item) override
    {
        if (has(item))
            actions[item]();
    }
    void setTrace(bool on) override
    {
        if (trace)
            trace(on);
    }
};

} // namespace testing_support
