#pragma once
// The node-window factory of the program: TEDS windows for memory nodes, and the one
// shared TEDS window (files, empty TEDS, TEDS of nodes that went with unwritten work);
// the other kinds of node window come from the shell's factory it is given.

#include "shell/nodes/nodewindowfactory.h"

#include <memory>

namespace editor {

class TedsF;

class EditorNodeWindowFactory final : public shell::NodeWindowFactory {
public:
    // others: makes the thermometer, switch and unsupported-node windows. Kept by the caller.
    explicit EditorNodeWindowFactory(shell::NodeWindowFactory& others);
    ~EditorNodeWindowFactory() override;

    std::unique_ptr<shell::NodeWindow> NewTemperatureF() override { return others_.NewTemperatureF(); }
    std::unique_ptr<shell::NodeWindow> NewSwitchF() override { return others_.NewSwitchF(); }
    std::unique_ptr<shell::NodeWindow> NewTedsF() override;
    std::unique_ptr<shell::NodeWindow> NewNotSupportedF() override { return others_.NewNotSupportedF(); }
    shell::NodeWindow* SharedTedsF() override;
    // The shared window, created when missing.
    TedsF& shared();
    // Destroys the shared window (program end, tests).
    void releaseShared();

private:
    shell::NodeWindowFactory& others_;
    std::unique_ptr<TedsF> shared_;
};

} // namespace editor
