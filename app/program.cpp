#include "app/program.h"

#include "core/base/message.h"
#include "core/startup/startup.h"
#include "editor/nodelistwindow/nodelistf.h"
#include "platform/adapters/adapterbackends.h"
#include "platform/base/system.h"
#include "shell/help/help.h"
#include "shell/help/helpwindow.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"
#include "sim/onewire/simbackend.h"

#include <QApplication>

namespace app {

Program::Program(QApplication& application)
    : application_(application),
      nodeListHook_(&editor::setNodeListProvider, [this] { return &nodeList_.window().model(); }),
      windows_(trace_, mixer_, {amplifierTools_, nodeWindows_, nodeList_}),
      server_([this] { return windows_.main(); }, nodeWindows_, amplifierWindow_),
      neighbours_(windows_, trace_, amplifierWindow_, templateDialog_, server_)
{
    helpKey_.reset(shell::newHelpKeyFilter(nullptr));
    application_.installEventFilter(helpKey_.get());
    amplifierTools_.switchToAmplifierLink = [this] {
        if (auto* main = windows_.main())
            shell::jobQueue().Insert_In_JobQue(*main, shell::MainJob::SetInterface, 1LL);
    };
    // The generator's jobs 4 and 5 answer a list request and end it.
    nodeList_.onCreate = [this](editor::NodeListModel& model) {
        model.listNodelist = [this] {
            bool ok = false;
            server_.engine().listNodelist(ok);
        };
        model.Kill_ackFile = [this] { server_.engine().Kill_ackFile(); };
    };
}

bool Program::dialogs() { return !platform::environment("TEDSMITH_NO_DIALOGS"); }

Program::~Program()
{
    shell::releaseAllNodes();
    shell::releaseHelpWindow();
    nodeWindows_.releaseShared();
    amplifierWindow_.unload();
    windows_.releaseMain();
}

int Program::run(const std::vector<std::string>& args)
{
    // The simulated network, when asked for, serves every port; otherwise the adapters do.
    const auto sim = platform::configureSimulatedNetworkFromEnvironment();
    if (sim.requested && !sim.loaded)
        core::MsgBox(sim.message);
    if (sim.loaded)
        backends_.emplace_back(-1, -1, sim.backend);
    else
        for (auto& offered : platform::adapterBackends())
            backends_.emplace_back(std::move(offered));
    try {
        const auto res = core::Main(args, windows_, templateLibrary());
        return res.showWindow ? application_.exec() : res.exitCode;
    } catch (const core::ProgramEnd& end) {
        return end.exitCode;
    }
}

} // namespace app
