#include "app/nodelisthost.h"

#include "editor/nodelistwindow/nodelistf.h"

namespace app {

NodeListHost::NodeListHost() = default;
NodeListHost::~NodeListHost() = default;

editor::NodeListF& NodeListHost::window()
{
    if (!window_) {
        window_ = std::make_unique<editor::NodeListF>();
        if (onCreate)
            onCreate(window_->model());
        window_->Form_Load();
    }
    return *window_;
}

void NodeListHost::show()
{
    window().show();
    window().raise();
    window().activateWindow();
}

} // namespace app
