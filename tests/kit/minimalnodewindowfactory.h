#pragma once
// The node windows of tests: the shell's switch, thermometer and unsupported-node windows,
// and the plain memory window MinimalTedsF where the program has the TEDS window.

#include "shell/nodewindows/shellnodewindowfactory.h"

namespace shell {

class MinimalNodeWindowFactory final : public ShellNodeWindowFactory {
public:
    std::unique_ptr<NodeWindow> NewTedsF() override;
};

// Registers one MinimalNodeWindowFactory as the program's node-window factory.
void installMinimalNodeWindows();

} // namespace shell
