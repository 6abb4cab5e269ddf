#pragma once
// The node-window factory of the program: TEDS windows for memory nodes, the one shared
// TEDS window (files, empty TEDS) and the windows that keep, one each, the TEDS of nodes
// that went with unwritten changes; the other kinds of node window come from the shell's
// factory it is given.

#include "shell/nodes/nodewindowfactory.h"

#include <memory>
#include <vector>

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
    // A window for the TEDS of a node that went: a closed one whose TEDS was let go, or a
    // new one.
    TedsF& keptWindow();
    const std::vector<std::unique_ptr<TedsF>>& keptWindows() const { return kept_; }
    // Before the program ends: every TEDS window whose changes would be lost (node windows,
    // the shared window, the kept windows) asks in turn. False when the user cancelled.
    bool mayEndProgram();
    // Destroys the shared and the kept windows (program end, tests).
    void releaseShared();

private:
    shell::NodeWindowFactory& others_;
    std::unique_ptr<TedsF> shared_;
    std::vector<std::unique_ptr<TedsF>> kept_;
};

} // namespace editor
