#pragma once
// What the main window asks of the program. The program implements every piece and
// hands it to the window (its setHost); until then MainHostFunctions stands in.

#include "shell/nodes/nodetree.h"

#include <functional>

namespace shell {

class MainHost {
public:
    virtual ~MainHost() = default;
    // Empties the trace window.
    virtual void clearTrace() = 0;
    // Job 3: the press on node in the tree (opens its windows).
    virtual void selectTreeNode(NodeTree::Handle node) = 0;
    // Job 1: drops every node and lists the present ones again.
    virtual void updateNodes() = 0;
    // Quits the event loop with exitCode.
    virtual void endProgram(int exitCode) = 0;
    // Asked before File > "Exit" or the close box ends the program (unwritten TEDS
    // changes); false keeps it running. Not asked when a request ends it.
    virtual bool mayEnd() = 0;
    // Help for topic; false when there is none.
    virtual bool showHelp(int topic) = 0;
};

// The host as functions, each filled in or not; an empty one does the window's default:
// no trace to clear, job 3 opens the node's windows, job 1 drops every node and scans,
// the event loop quits (endProgram is filled with that), the program may end, no help.
class MainHostFunctions final : public MainHost {
public:
    MainHostFunctions();

    std::function<void()> clearTraceFn;
    std::function<void()> selectTreeNodeFn;  // the node is the window's SelectedTreeNode
    std::function<void()> updateNodesFn;
    std::function<void(int exitCode)> endProgramFn;
    std::function<bool()> mayEndFn;
    std::function<bool(int topic)> showHelpFn;

    void clearTrace() override;
    void selectTreeNode(NodeTree::Handle node) override;
    void updateNodes() override;
    void endProgram(int exitCode) override;
    bool mayEnd() override;
    bool showHelp(int topic) override;
};

} // namespace shell
