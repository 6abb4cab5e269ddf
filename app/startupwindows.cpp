#include "app/startupwindows.h"

#include "app/amplifiertoolshost.h"
#include "app/nodelisthost.h"
#include "editor/compiledialog/expanddefine.h"
#include "editor/nodelistwindow/nodelistf.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/clock.h"
#include "shell/help/help.h"
#include "shell/mixer/mixerctrl.h"
#include "shell/trace/debugf.h"

#include <QAction>

namespace app {

StartupWindows::StartupWindows(shell::TraceHost& trace, shell::MixerCtrl& mixer, Opened opened)
    : trace_(trace), mixer_(mixer), opened_(opened), host_(trace, opened.tedsWindows, opened.nodeList)
{
}

StartupWindows::~StartupWindows() { releaseMain(); }

void StartupWindows::showSplash()
{
    splash_ = std::make_unique<Starting>();
    splash_->show();
}

void StartupWindows::hideSplash() { splash_.reset(); }

void StartupWindows::showMainWindow()
{
    main_ = std::make_unique<shell::MainF>();
    auto* main = main_.get();
    mainHooks_ = std::make_unique<MainWindowHooks>(*main);
    main->setHost(&host_);
    wireMenus(*main);
    mixer_.volMuteTicked = [main] { return main->iface().modes.Vol_mute; };
    mixer_.showVolMuteCaption = [main](const std::string& caption) {
        main->iface().modes.Vol_muteCaption = caption;
        main->showState();
    };
    queueHooks_ = std::make_unique<MainWindowQueueHooks>(*main);
    main->Form_Load();
    main_->show();
    main_->parkFocus();
    platform::processEvents();
}

void StartupWindows::postInitialize() { main_->postInitialize(); }

void StartupWindows::setNoHelp() { main_->mnuhelp[0]->setText("No help available"); }

void StartupWindows::releaseMain()
{
    if (!main_)
        return;
    mixer_.volMuteTicked = nullptr;
    mixer_.showVolMuteCaption = nullptr;
    trace_.onUserClosed = nullptr;
    queueHooks_.reset();
    mainHooks_.reset();
    main_.reset();
}

void StartupWindows::wireMenus(shell::MainF& main)
{
    main.setMenuWindows(this);
    trace_.onUserClosed = [&main] { main.traceWindowClosed(); };
}

bool StartupWindows::has(shell::MenuWindow) { return true; }

void StartupWindows::open(shell::MenuWindow item)
{
    using W = shell::MenuWindow;
    switch (item) {
    case W::OpenTedsFile: {
        auto& w = opened_.tedsWindows.shared();
        w.Open_file(w, true);
        break;
    }
    case W::CreateEmptyTeds: {
        auto& w = opened_.tedsWindows.shared();
        w.CreateNewTEDS(w, "Not assigned", true);
        break;
    }
    case W::NodeListGenerator: opened_.nodeList.show(); break;
    case W::AmplifierMaintenance: opened_.tools.Pelox_MaintenanceF(); break;
    case W::AmplifierTerminal: opened_.tools.Pelox_test(); break;
    case W::CompileDescription: {
        editor::ExpandDefine dialog(main_.get());
        dialog.setProperty("HelpContextID", editor::ExpandDefine::kHelpTopic);
        dialog.exec();
        break;
    }
    }
}

void StartupWindows::setTrace(bool on) { trace_.setTrace(on); }

} // namespace app
