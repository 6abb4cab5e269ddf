#pragma once
// Drives the job queue for the main window: its 1000 ms tick and the runs of posted jobs,
// the main window's numbered jobs, and the one way out. Holds no widget: it works on the
// interface model and asks the rest of the program through MainHost.

#include "shell/iface/iface.h"
#include "shell/iface/mainjob.h"
#include "shell/jobs/jobqueue.h"
#include "shell/jobs/jobtarget.h"
#include "shell/mainwindow/mainhost.h"
#include "shell/nodes/nodetree.h"

#include <QTimer>

#include <functional>

namespace shell {

class MainJobs {
public:
    // window: the target the main window's jobs are queued for; show: puts the models'
    // state into the window's controls.
    MainJobs(JobTarget& window, Iface& iface, MainHost& host, std::function<void()> show);

    void setHost(MainHost& host) { host_ = &host; }
    // ProcessJobQue: the 1000 ms tick.
    QTimer& timer() { return timer_; }

    // What the job queue asks of the main window (the program hands these to the queue):
    // the mode is Scanning; start the tick; run the posted jobs at the next turn of the
    // event loop; the busy pointer on every window.
    static bool scanning();
    void startTimer() { timer_.start(); }
    void scheduleRun();
    static void applyHourglass(bool on);

    // One tick; a job that ends the program ends it here.
    void tick();
    // The run of posted jobs that a post to the idle queue asks for (no scan pass).
    void runPosted();
    // Runs the head entry's job; selected: the node job 3 is for.
    void doJob(NodeTree::Handle selected);
    // Posts job subno of the main window (at most one job 8 waits).
    void post(MainJob subno, JobParam param);
    // Stops the queue, unloads the request server window (it saves its settings), closes
    // the sound mixer and ends the program with exitCode. Once only.
    void end(int exitCode);
    bool ending() const { return ending_; }

private:
    // A tick or a run of posted jobs; a job that ends the program ends it here.
    void runQueue(const std::function<void()>& run);
    void job8();

    JobTarget& window_;
    Iface& iface_;
    MainHost* host_;
    std::function<void()> show_;
    QTimer timer_;
    bool ending_ = false;
    bool inJob8_ = false;
};

} // namespace shell
