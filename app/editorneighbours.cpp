#include "app/editorneighbours.h"

#include "amplifier/peloxf/peloxf.h"
#include "app/amplifierwindowhost.h"
#include "app/serverbridge.h"
#include "app/startupwindows.h"
#include "core/base/trace.h"
#include "editor/createremap/newremaptemplate.h"
#include "editor/tedswindow/tedsf.h"
#include "shell/jobs/jobqueue.h"
#include "shell/trace/debugf.h"

#include <QWindow>

namespace app {

EditorNeighbours::EditorNeighbours(StartupWindows& windows, shell::TraceHost& trace, AmplifierWindowHost& amplifier,
                                   editor::NewRemapTemplate& templateDialog, ServerBridge& server)
    : windows_(windows), trace_(trace), amplifier_(amplifier), templateDialog_(templateDialog), server_(server)
{
}

bool EditorNeighbours::runTemplateDialog(int mode, editor::TedsF& owner)
{
    templateDialog_.Initiate(mode, owner.doc);
    // Above the window it works for (the dialog itself outlives every TEDS window).
    templateDialog_.winId();
    if (auto* handle = templateDialog_.windowHandle(); handle && owner.window()->windowHandle())
        handle->setTransientParent(owner.window()->windowHandle());
    editor::runModal(templateDialog_);
    templateDialog_.hide();
    return templateDialog_.GotTemplate();
}

bool EditorNeighbours::mainWindowVisible() { return windows_.main() && windows_.main()->isVisible(); }

void EditorNeighbours::showTraceWindow()
{
    if (core::traceOn())
        trace_.setTrace(true);
}

void EditorNeighbours::reselectAmplifierNode()
{
    if (auto* w = amplifier_.window())
        shell::jobQueue().Insert_In_JobQue(w->model(), amplifier::AmplifierJob::SelectClickedNode, 0LL);
}

int EditorNeighbours::requestFamily() { return static_cast<int>(server_.engine().RequestFamily); }

bool EditorNeighbours::allowRomProgramming() { return server_.engine().AllowRomProgramming; }

void EditorNeighbours::requestReport(const std::string& line) { server_.engine().requestReport(line); }

void EditorNeighbours::fileMenu(int item, editor::TedsF& window) { editor::runFileMenu(item, window); }

} // namespace app
