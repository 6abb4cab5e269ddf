#include "shell/mainwindow/mainhost.h"

#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/treeselect.h"

#include <QCoreApplication>

namespace shell {

MainHostFunctions::MainHostFunctions() : endProgramFn([](int code) { QCoreApplication::exit(code); }) {}

void MainHostFunctions::clearTrace()
{
    if (clearTraceFn)
        clearTraceFn();
}

void MainHostFunctions::selectTreeNode(NodeTree::Handle node)
{
    if (selectTreeNodeFn)
        selectTreeNodeFn();
    else
        DoTreeview_Select(node);
}

void MainHostFunctions::updateNodes()
{
    if (updateNodesFn) {
        updateNodesFn();
        return;
    }
    removeAllTransducers();
    scanUntilPassEnds();
}

void MainHostFunctions::endProgram(int exitCode)
{
    if (endProgramFn)
        endProgramFn(exitCode);
}

bool MainHostFunctions::mayEnd() { return !mayEndFn || mayEndFn(); }

bool MainHostFunctions::showHelp(int topic) { return showHelpFn && showHelpFn(topic); }

} // namespace shell
