#pragma once
// The node-window factory of this folder: the switch, thermometer and unsupported-node
// windows. The memory windows are the TEDS editor's (its factory takes the other kinds
// from this one); on its own this factory gives a memory node the unsupported-node window.

#include "shell/nodes/nodewindowfactory.h"

namespace shell {

class ShellNodeWindowFactory : public NodeWindowFactory {
public:
    std::unique_ptr<NodeWindow> NewTemperatureF() override;
    std::unique_ptr<NodeWindow> NewSwitchF() override;
    std::unique_ptr<NodeWindow> NewTedsF() override;
    std::unique_ptr<NodeWindow> NewNotSupportedF() override;
    // None: this factory has no TEDS window of its own.
    NodeWindow* SharedTedsF() override { return nullptr; }
};

} // namespace shell
