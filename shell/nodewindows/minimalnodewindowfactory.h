#pragma once
// The node-window factories: the switch, thermometer and unsupported-node windows of
// this folder, and the plain memory window until the TEDS window replaces it.

#include "shell/nodes/nodewindowfactory.h"

namespace shell {

class MinimalNodeWindowFactory final : public NodeWindowFactory {
public:
    std::unique_ptr<NodeWindow> NewTemperatureF() override;
    std::unique_ptr<NodeWindow> NewSwitchF() override;
    std::unique_ptr<NodeWindow> NewTedsF() override;
    std::unique_ptr<NodeWindow> NewNotSupportedF() override;
    // None: this factory has no TEDS window of its own.
    NodeWindow* SharedTedsF() override { return nullptr; }
};

// Registers one MinimalNodeWindowFactory as the program's node-window factory.
void installMinimalNodeWindows();

} // namespace shell
