// MainF: loading, the numbered jobs, F5 and the way out.

#include "shell/mainwindow/mainf.h"

#include "core/base/message.h"
#include "platform/base/system.h"
#include "shell/iface/ifacestate.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/treeselect.h"
#include "shell/nodes/windowgraveyard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include <exception>

namespace shell {

void MainF::Form_Load()
{
    auto& q = jobQueue();
    try {
        platform::debugOutput("QT-8061 started  \r\n");
        platform::debugOutput("QT-8061:  \r\n");
        HelpContextID = 10;
        setProperty("HelpContextID", HelpContextID);
        iface_.loadStartState();
        q.TimeoutJobQue();
        if (!iface_.GetDefault()) {
            auto& m = iface_.menu;
            m.MnuSetupIF[0].enabled = false;
            for (int i = 1; i <= 2; ++i) {
                m.mnuIF_p_startup[static_cast<std::size_t>(i)].enabled = false;
                m.mnuIF_p_startup[static_cast<std::size_t>(i)].checked = false;
            }
        }
        iface_.menu.Interface_setup_done();
        q.StartJobQue();
        iface_.Set_CommModeWindow();
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        core::MsgBox(std::string("Error in Sub 'Form_Load'\r\n\r\nError: ") + e.what());
    }
    sync();
}

void MainF::postInitialize()
{
    if (iface_.menu.startupChecked(1))
        postMainJob(MainJob::ActivateInterface, 0LL);
}

void MainF::DoJob()
{
    if (jobQueue().JobQueLast() < 0)
        return;
    const auto& job = jobQueue().head();
    const int param = static_cast<int>(paramAsInteger(job.param));
    switch (job.subno) {
    case MainJob::RescanAll:
        // Drop every node and scan again.
        if (UpdateNodes) {
            UpdateNodes();
        } else {
            removeAllTransducers();
            scanPass();
        }
        break;
    case MainJob::SetCommMode:
        iface_.modes.SetMode(param);
        break;
    case MainJob::SelectTreeNode:
        if (DoTreeview_Select)
            DoTreeview_Select();
        else
            shell::DoTreeview_Select(SelectedTreeNode);
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
    sync();
}

void MainF::job8()
{
    // Runs after the jobs the activation posted: while others wait, go behind them.
    if (jobQueue().JobQueLast() > 0) {
        inJob8_ = true;
        postMainJob(MainJob::ScanAndShowServer, 0LL);
        inJob8_ = false;
        return;
    }
    scanPass();
    requestServerWindow().show();
}

void MainF::scanPass() { scanUntilPassEnds(); }

void MainF::Form_KeyDown(int keyCode, int shift)
{
    if (keyCode != 116)
        return;
    // Node windows are not destroyed under a running tick: try again after it.
    if (jobQueue().ticking()) {
        QTimer::singleShot(100, this, [this] { Form_KeyDown(116, 0); });
        return;
    }
    removeAllTransducers();
}

void MainF::closeEvent(QCloseEvent* e)
{
    if (!ending_ && mayEnd && !mayEnd()) {
        e->ignore();
        return;
    }
    Form_QueryUnload();
    e->accept();
}

void MainF::Form_QueryUnload() { EndProgram(0); }

void MainF::EndProgram(int exitCode)
{
    if (ending_)
        return;
    ending_ = true;
    ProcessJobQue->stop();
    jobQueue().TimeoutJobQue();
    requestServerWindow().unload();
    iface_.modes.closeSound();
    if (endProgram)
        endProgram(exitCode);
}

void MainF::ProcessJobQue_Timer() { runQueue([] { jobQueue().tick(); }); }

void MainF::RunPostedJobs() { runQueue([] { jobQueue().runPosted(); }); }

void MainF::runQueue(const std::function<void()>& run)
{
    if (ending_)
        return;
    try {
        run();
    } catch (const core::ProgramEnd& end) {
        EndProgram(end.exitCode);
    }
    sync();
}

void MainF::UnloadTEDS(std::unique_ptr<NodeWindow>& window)
{
    if (window)
        deferDelete(std::move(window));
    window.reset();
}

// --- IfaceHost ---------------------------------------------------------------------

void MainF::postMainJob(MainJob subno, JobParam param)
{
    auto& q = jobQueue();
    if (subno == MainJob::ScanAndShowServer) {
        // At most one job 8 waits; the running one does not count.
        const auto& que = q.JobQue();
        const std::size_t first = inJob8_ ? 1 : 0;
        for (std::size_t i = first; i < que.size(); ++i)
            if (que[i].subno == MainJob::ScanAndShowServer && que[i].target() == this)
                return;
    }
    q.Insert_In_JobQue(*this, subno, std::move(param));
}

int MainF::nodeCount() { return TrLast() + 1; }

std::string MainF::nodeId(int index)
{
    const TrRecord* r = record(index);
    return r ? r->id : std::string();
}

void MainF::Remove_transducer(const std::string& id) { shell::Remove_transducer(id); }

void MainF::activationStarted() { resetScanErrors(); }

void MainF::clearTrace()
{
    if (DebugF_clear)
        DebugF_clear();
}

} // namespace shell
