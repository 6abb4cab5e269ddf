#pragma once
// The program as one object: the services, the trace, the sound card, help, the windows,
// the request server and the 1-Wire ports, each with what it registers held as a scoped
// handle. Members are built in dependency order, so tearing the object down unregisters
// every hook in reverse; nothing is registered anywhere else.

#include "app/amplifiertoolshost.h"
#include "app/amplifierwindowhost.h"
#include "app/documentfields.h"
#include "app/editorneighbours.h"
#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/library.h"
#include "app/nodelisthost.h"
#include "app/nodewiring.h"
#include "app/serverbridge.h"
#include "app/startupwindows.h"
#include "core/base/trace.h"
#include "device/drivers/driverstate.h"
#include "editor/createremap/newremaptemplate.h"
#include "editor/model/tedsdocument.h"
#include "editor/nodelist/nodelistmodel.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "platform/base/clock.h"
#include "platform/base/filedialog.h"
#include "platform/base/messagebox.h"
#include "platform/base/scopedhook.h"
#include "platform/mixer/mixerbackend.h"
#include "platform/onewire/scopedbackend.h"
#include "platform/qt/qtfiledialogs.h"
#include "platform/qt/qtservices.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/mixer/mixerctrl.h"
#include "shell/mixer/soundmixer.h"
#include "shell/nodes/nodewindowfactory.h"
#include "shell/nodewindows/shellnodewindowfactory.h"
#include "shell/trace/debugf.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QObject;

namespace app {

class Program {
public:
    // Builds every piece and registers it. application: the one QApplication, kept by the caller.
    explicit Program(QApplication& application);
    // Releases the windows, then unregisters every hook in reverse.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up, then the event loop while the main window is up. The exit code.
    int run(const std::vector<std::string>& args);

private:
    template <class T>
    using Hook = platform::ScopedHook<T>;
    // Messages are shown as dialogs (TEDSMITH_NO_DIALOGS unset).
    static bool dialogs();

    QApplication& application_;

    // Services. TEDSMITH_NO_DIALOGS: messages go to stderr with their unattended answer.
    platform::QtMessageBox messageBox_;
    // (Before the request server, which puts its box in front of this one.)
    Hook<platform::MessageBoxService*> messageBoxHook_{&platform::setMessageBox, dialogs() ? &messageBox_ : nullptr};
    Hook<platform::EventPump> eventPump_{&platform::setEventPump, platform::qtEventPump()};
    platform::QtFileDialogs fileDialogs_;
    Hook<platform::FileDialogService*> fileDialogsHook_{&platform::setFileDialogs, &fileDialogs_};
    platform::QtPrinterChooser printer_;
    Hook<platform::PrinterChooser*> printerHook_{&platform::setPrinterChooser, &printer_};
    shell::TraceHost trace_;
    Hook<core::TraceSink*> traceHook_{&core::setTraceSink, &trace_};
    LibraryGate libraryGate_;
    Hook<core::SaveValidationGate*> libraryGateHook_{&core::setSaveValidationGate, &libraryGate_};
    // The 1-Wire ports (run() registers them): the simulated network when asked for, else the adapters.
    std::vector<platform::ScopedBackend> backends_;

    // The sound card: opened when the demo adaptor is chosen, restored on exit.
    std::unique_ptr<platform::MixerBackend> mixerBackend_ = platform::makeAlsaMixerBackend();
    shell::MixerCtrl mixer_{*mixerBackend_};
    Hook<shell::SoundMixerControl*> mixerHook_{&shell::setSoundMixer, &mixer_};
    // F1 anywhere opens the active window's help topic.
    std::unique_ptr<QObject> helpKey_;

    // The windows around the main window.
    AmplifierWindowHost amplifierWindow_;
    Hook<shell::AmplifierWindow*> amplifierWindowHook_{&shell::setAmplifierWindow, &amplifierWindow_};
    AmplifierToolsHost amplifierTools_;
    NodeListHost nodeList_;
    Hook<std::function<editor::NodeListModel*()>> nodeListHook_;
    // Memory nodes get the TEDS window; the other kinds the shell's windows.
    shell::ShellNodeWindowFactory shellWindows_;
    editor::EditorNodeWindowFactory nodeWindows_{shellWindows_};
    // The node machinery; the main window adds its host and scan step when start-up builds it.
    NodeWiring nodes_{{.windows = &nodeWindows_}};
    KeptWindowHook keptWindows_{nodeWindows_};
    // Start-up's windows: the splash, the main window, what its menus open.
    StartupWindows windows_;
    // The create/remap dialog: one for the run, prepared by every template match.
    editor::NewRemapTemplate templateDialog_;
    Hook<editor::TemplateDialogHook*> templateDialogHook_{&editor::setTemplateDialogHook, &templateDialog_};
    // The request server: its window, the suppression of every message box while it serves.
    ServerBridge server_;
    EditorNeighbours neighbours_;
    EditorWiring editorWiring_{{.neighbours = &neighbours_}};
    // The switch window reads its gains, the amplifier window its sensitivity, from the TEDS window.
    DocumentFields tedsFields_;
};

} // namespace app
