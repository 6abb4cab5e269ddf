#pragma once
// A menu item's state shown on its action, without the action firing.

#include "shell/iface/menuitemstate.h"

class QAction;

namespace shell {

void showMenuItem(QAction& action, const MenuItemState& state);

} // namespace shell
