#include "shell/mainwindow/mainmenus.h"

#include "core/base/trace.h"
#include "core/tdl/templatefileupkeep.h"
#include "device/base/devicestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/infodialogs/about.h"
#include "shell/infodialogs/generalinfo.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainjobs.h"
#include "shell/mixer/soundmixer.h"

namespace shell {

MainMenus::MainMenus(QWidget& parent, Iface& iface, MainJobs& jobs, MainHost& host, std::function<void()> show)
    : parent_(parent), iface_(iface), jobs_(jobs), host_(&host), show_(std::move(show))
{
}

void MainMenus::runModal(const std::function<void()>& show)
{
    auto& q = jobQueue();
    q.TimeoutJobQue();
    show();
    q.StartJobQue();
}

void MainMenus::openIfThere(MenuWindow item)
{
    if (windows().has(item))
        windows().open(item);
}

void MainMenus::file(int index)
{
    if (index == 0 && windows().has(MenuWindow::OpenTedsFile))
        windows().open(MenuWindow::OpenTedsFile);
    else if (index == 1 && host_->mayEnd())
        jobs_.end(0);
}

void MainMenus::tools(int index)
{
    switch (index) {
    case 0:
        openIfThere(MenuWindow::CreateEmptyTeds);
        break;
    case 1:
        openIfThere(MenuWindow::NodeListGenerator);
        break;
    case 2:
        amplifierWindow().show();
        break;
    case 3:
        openIfThere(MenuWindow::AmplifierMaintenance);
        break;
    case 4:
        if (windows().has(MenuWindow::CompileDescription))
            runModal([this] { windows().open(MenuWindow::CompileDescription); });
        break;
    case 5:
        validateFiles();
        break;
    default:
        break;
    }
}

void MainMenus::validateFiles()
{
    auto& q = jobQueue();
    const bool wasOn = q.HourGlass();
    q.allFormsHourglass(true);
    core::CheckAllFilesValidated(true);
    if (!wasOn)
        q.allFormsHourglass(false);
}

void MainMenus::debug(int index)
{
    switch (index) {
    case 1:
        openIfThere(MenuWindow::AmplifierTerminal);
        break;
    case 2: {
        const bool on = !core::traceOn();
        core::setTraceOn(on);
        windows().setTrace(on);
        break;
    }
    case 3:
        device::deviceState().ErrAfterSend = !device::deviceState().ErrAfterSend;
        break;
    case 4: {
        // Only a mixer the program opened is closed and opened again around the dump.
        auto& modes = iface_.modes;
        const bool open = modes.soundOpen();
        if (open)
            SoundMixer().closeMixerCtrl();
        SoundMixer().getAllMixerInfo();
        if (open)
            SoundMixer().openMixerCtrl(modes.VolScroll, modes.Vol_mute);
        break;
    }
    default:
        break;
    }
    show_();
}

void MainMenus::traceWindowClosed()
{
    core::setTraceOn(false);
    show_();
}

void MainMenus::help(int index, int helpTopic)
{
    switch (index) {
    case 0:
        // The item only says how; with help, it opens the main window's topic too.
        host_->showHelp(helpTopic);
        break;
    case 1:
        runModal([this] {
            GeneralInfo dialog(&parent_);
            dialog.exec();
        });
        break;
    case 2:
        runModal([this] {
            About dialog(&parent_);
            dialog.exec();
        });
        break;
    default:
        break;
    }
}

void MainMenus::volumeMoved(int value)
{
    iface_.modes.VolScroll = value;
    SoundMixer().setMixer(value, iface_.modes.Vol_mute);
}

} // namespace shell
