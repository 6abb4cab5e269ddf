#pragma once
// What the TEDS windows ask of the main window, the trace window, the amplifier window
// and the running request.

#include "editor/tedswindow/editorstate.h"

namespace editor {
class NewRemapTemplate;
}
namespace shell {
class TraceHost;
}

namespace app {

class AmplifierWindowHost;
class ServerBridge;
class StartupWindows;

class EditorNeighbours final : public editor::TedsNeighbours {
public:
    // Every argument is kept by the caller.
    EditorNeighbours(StartupWindows& windows, shell::TraceHost& trace, AmplifierWindowHost& amplifier,
                     editor::NewRemapTemplate& templateDialog, ServerBridge& server);

    bool runTemplateDialog(int mode, editor::TedsF& owner) override;
    bool mainWindowVisible() override;
    void showTraceWindow() override;
    void reselectAmplifierNode() override;
    int requestFamily() override;
    bool allowRomProgramming() override;
    void requestReport(const std::string& line) override;
    void fileMenu(int item, editor::TedsF& window) override;

private:
    StartupWindows& windows_;
    shell::TraceHost& trace_;
    AmplifierWindowHost& amplifier_;
    editor::NewRemapTemplate& templateDialog_;
    ServerBridge& server_;
};

} // namespace app
