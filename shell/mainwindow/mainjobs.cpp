#include "shell/mainwindow/mainjobs.h"

#include "core/base/message.h"
#include "shell/iface/ifacestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/nodes/doscan.h"

#include <QCursor>
#include <QGuiApplication>

namespace shell {

MainJobs::MainJobs(JobTarget& window, Iface& iface, MainHost& host, std::function<void()> show)
    : window_(window), iface_(iface), host_(&host), show_(std::move(show))
{
    timer_.setInterval(1000);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
}

bool MainJobs::scanning() { return ifaceState().CommMode == kModeScanning; }

void MainJobs::scheduleRun()
{
    QTimer::singleShot(0, &timer_, [this] { runPosted(); });
}

void MainJobs::applyHourglass(bool on)
{
    if (on && !QGuiApplication::overrideCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (!on)
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
}

void MainJobs::tick() { runQueue([] { jobQueue().tick(); }); }

void MainJobs::runPosted() { runQueue([] { jobQueue().runPosted(); }); }

void MainJobs::runQueue(const std::function<void()>& run)
{
    if (ending_)
        return;
    try {
        run();
    } catch (const core::ProgramEnd& end) {
        this->end(end.exitCode);
    }
    show_();
}

void MainJobs::doJob(NodeTree::Handle selected)
{
    if (jobQueue().JobQueLast() < 0)
        return;
    const auto& job = jobQueue().head();
    const int param = static_cast<int>(paramAsInteger(job.param));
    switch (job.subno) {
    case MainJob::RescanAll:
        // Drop every node and scan again.
        host_->updateNodes();
        break;
    case MainJob::SetCommMode:
        iface_.modes.SetMode(param);
        break;
    case MainJob::SelectTreeNode:
        host_->selectTreeNode(selected);
        break;
    case MainJob::EnableTree:
        iface_.treeEnabled = true;
        break;
    case MainJob::SetInterface:
        iface_.Set_IF(param);
        break;
    case MainJob::ScanUnlessRefilled:
        // Behind the request's job 1, whose pass has just refilled the list: no second pass.
        scanUnlessRefilled();
        break;
    case MainJob::SetCommModeOptions:
        iface_.modes.SetModeO(param);
        break;
    case MainJob::ScanAndShowServer:
        job8();
        break;
    case MainJob::ActivateInterface:
        iface_.ActivateIF();
        break;
    default:
        core::MsgBox("No such job in MainF");
        break;
    }
    show_();
}

void MainJobs::job8()
{
    // Runs after the jobs the activation posted: while others wait, go behind them.
    if (jobQueue().JobQueLast() > 0) {
        inJob8_ = true;
        post(MainJob::ScanAndShowServer, 0LL);
        inJob8_ = false;
        return;
    }
    scanUntilPassEnds();
    requestServerWindow().show();
}

void MainJobs::post(MainJob subno, JobParam param)
{
    auto& q = jobQueue();
    if (subno == MainJob::ScanAndShowServer) {
        // At most one job 8 waits; the running one does not count.
        const auto& que = q.JobQue();
        const std::size_t first = inJob8_ ? 1 : 0;
        for (std::size_t i = first; i < que.size(); ++i)
            if (que[i].subno == MainJob::ScanAndShowServer && que[i].target() == &window_)
                return;
    }
    q.Insert_In_JobQue(window_, subno, std::move(param));
}

void MainJobs::end(int exitCode)
{
    if (ending_)
        return;
    ending_ = true;
    timer_.stop();
    jobQueue().TimeoutJobQue();
    requestServerWindow().unload();
    iface_.modes.closeSound();
    host_->endProgram(exitCode);
}

} // namespace shell
