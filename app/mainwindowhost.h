#pragma once
// What the main window asks of the program: the trace window, the tree selection's
// windows, the node-list generator's job 1, the event loop, the kept TEDS edits, help.

#include "shell/mainwindow/mainhost.h"

namespace editor {
class EditorNodeWindowFactory;
}
namespace shell {
class TraceHost;
}

namespace app {

class NodeListHost;

class MainWindowHost final : public shell::MainHost {
public:
    // All kept by the caller.
    MainWindowHost(shell::TraceHost& trace, editor::EditorNodeWindowFactory& tedsWindows, NodeListHost& nodeList);

    void clearTrace() override;
    void selectTreeNode(shell::NodeTree::Handle node) override;
    void updateNodes() override;
    void endProgram(int exitCode) override;
    // File > "Exit" and the close box ask about unwritten TEDS changes first.
    bool mayEnd() override;
    bool showHelp(int topic) override;

private:
    shell::TraceHost& trace_;
    editor::EditorNodeWindowFactory& tedsWindows_;
    NodeListHost& nodeList_;
};

} // namespace app
