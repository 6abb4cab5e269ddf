// MainF: the File, Tools, Debug and Help menus and the volume bar.

#include "shell/mainwindow/mainf.h"

#include "core/base/trace.h"
#include "core/tdl/templatefileupkeep.h"
#include "device/base/devicestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/infodialogs/about.h"
#include "shell/infodialogs/generalinfo.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mixer/soundmixer.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

namespace shell {

void MainF::buildMenus()
{
    mnufile[0] = mFile->addAction("Read TEDS");
    mnufile[1] = mFile->addAction("Exit");
    const char* tools[6] = {"Create empty TEDS", "Generate Nodelist", "Pelox Control", "Pelox maintenance",
                            "Compile Description file", "Validate files"};
    for (std::size_t i = 0; i < mnuTools.size(); ++i)
        mnuTools[i] = mTools->addAction(tools[i]);
    mnuDebug[1] = mDebug->addAction("Pelox");
    mnuDebug[2] = mDebug->addAction("Trace ");
    mnuDebug[3] = mDebug->addAction("Read Err? after send");
    mnuDebug[4] = mDebug->addAction("Mixer info to  trace window");
    mnuDebug[2]->setCheckable(true);
    mnuDebug[3]->setCheckable(true);
    mnuhelp[0] = mhelp->addAction("press F1 to get help");
    mnuhelp[1] = mhelp->addAction("General information");
    mnuhelp[2] = mhelp->addAction("About Tedsmith");

    for (int i = 0; i < 2; ++i)
        connect(mnufile[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnufile_Click(i); });
    for (int i = 0; i < 6; ++i)
        connect(mnuTools[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuTools_Click(i); });
    for (int i = 1; i <= 4; ++i)
        connect(mnuDebug[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuDebug_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(mnuhelp[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuhelp_Click(i); });
    // Every change of the bar (drag, arrows, page clicks) sends the volume.
    connect(VolScroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_)
            VolScroll_Scroll(v);
    });
}

void MainF::showMenuStates()
{
    auto& w = windows();
    mnufile[0]->setEnabled(w.has(MenuWindow::OpenTedsFile));
    mnuTools[0]->setEnabled(w.has(MenuWindow::CreateEmptyTeds));
    mnuTools[1]->setEnabled(w.has(MenuWindow::NodeListGenerator));
    mnuTools[3]->setEnabled(w.has(MenuWindow::AmplifierMaintenance));
    mnuTools[4]->setEnabled(w.has(MenuWindow::CompileDescription));
    mnuDebug[1]->setEnabled(w.has(MenuWindow::AmplifierTerminal));
    mnuDebug[2]->setChecked(core::traceOn());
    mnuDebug[3]->setChecked(device::deviceState().ErrAfterSend);
}

void MainF::runModal(const std::function<void()>& show)
{
    auto& q = jobQueue();
    q.TimeoutJobQue();
    show();
    q.StartJobQue();
}

void MainF::openIfThere(MenuWindow item)
{
    if (windows().has(item))
        windows().open(item);
}

void MainF::mnufile_Click(int index)
{
    if (index == 0 && windows().has(MenuWindow::OpenTedsFile))
        windows().open(MenuWindow::OpenTedsFile);
    else if (index == 1 && (!mayEnd || mayEnd()))
        EndProgram(0);
}

void MainF::mnuTools_Click(int index)
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
        Validate_files();
        break;
    default:
        break;
    }
}

void MainF::Validate_files()
{
    auto& q = jobQueue();
    const bool wasOn = q.HourGlass();
    q.allFormsHourglass(true);
    core::CheckAllFilesValidated(true);
    if (!wasOn)
        q.allFormsHourglass(false);
}

void MainF::mnuDebug_Click(int index)
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
    sync();
}

void MainF::traceWindowClosed()
{
    core::setTraceOn(false);
    sync();
}

void MainF::mnuhelp_Click(int index)
{
    switch (index) {
    case 0:
        // The item only says how; with help, it opens the main window's topic too.
        if (showHelp)
            showHelp(HelpContextID);
        break;
    case 1:
        runModal([this] {
            GeneralInfo dialog(this);
            dialog.exec();
        });
        break;
    case 2:
        runModal([this] {
            About dialog(this);
            dialog.exec();
        });
        break;
    default:
        break;
    }
}

void MainF::VolScroll_Scroll(int value)
{
    iface_.modes.VolScroll = value;
    SoundMixer().setMixer(value, iface_.modes.Vol_mute);
}

} // namespace shell
