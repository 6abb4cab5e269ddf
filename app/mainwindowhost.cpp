#include "app/mainwindowhost.h"

#include "app/nodelisthost.h"
#include "editor/nodelistwindow/nodelistf.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "shell/help/help.h"
#include "shell/nodes/treeselect.h"
#include "shell/trace/debugf.h"

#include <QCoreApplication>

namespace app {

MainWindowHost::MainWindowHost(shell::TraceHost& trace, editor::EditorNodeWindowFactory& tedsWindows,
                               NodeListHost& nodeList)
    : trace_(trace), tedsWindows_(tedsWindows), nodeList_(nodeList)
{
}

void MainWindowHost::clearTrace() { trace_.clear(); }

void MainWindowHost::selectTreeNode(shell::NodeTree::Handle node) { shell::DoTreeview_Select(node); }

void MainWindowHost::updateNodes() { nodeList_.window().model().UpdateNodes(); }

void MainWindowHost::endProgram(int exitCode) { QCoreApplication::exit(exitCode); }

bool MainWindowHost::mayEnd() { return tedsWindows_.mayEndProgram(); }

bool MainWindowHost::showHelp(int topic) { return shell::showHelp(topic); }

} // namespace app
