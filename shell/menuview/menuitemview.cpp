#include "shell/menuview/menuitemview.h"

#include "platform/qt/cp1252.h"

#include <QAction>
#include <QSignalBlocker>

namespace shell {

void showMenuItem(QAction& action, const MenuItemState& state)
{
    const QSignalBlocker block(&action);
    action.setText(platform::fromCp1252(state.caption));
    action.setEnabled(state.enabled);
    action.setVisible(state.visible);
    if (action.isCheckable())
        action.setChecked(state.checked);
}

} // namespace shell
