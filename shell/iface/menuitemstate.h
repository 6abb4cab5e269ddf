#pragma once
// The state of one menu item or option control, as the window shows it.

#include <string>

namespace shell {

struct MenuItemState {
    std::string caption;
    std::string Tag;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
};

struct OptionState {
    bool enabled = true;
    bool value = false;  // selected
    bool visible = true;
};

} // namespace shell
