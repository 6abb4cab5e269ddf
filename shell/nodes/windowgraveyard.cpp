#include "shell/nodes/windowgraveyard.h"

#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <vector>

namespace shell {

namespace {

struct Graveyard {
    std::vector<std::unique_ptr<NodeWindow>> windows;
    bool scheduled = false;
    std::function<void(int)> schedule;
};

Graveyard& graveyard()
{
    static Graveyard g;
    return g;
}

void qtSchedule(int delayMs)
{
    if (QCoreApplication::instance())
        QTimer::singleShot(delayMs, [] { collectDeferred(); });
    else
        graveyard().scheduled = false;
}

void requestCollect(int delayMs)
{
    auto& g = graveyard();
    if (g.scheduled)
        return;
    g.scheduled = true;
    if (g.schedule)
        g.schedule(delayMs);
    else
        qtSchedule(delayMs);
}

} // namespace

void deferDelete(std::unique_ptr<NodeWindow> window)
{
    if (!window)
        return;
    window->Unload();
    graveyard().windows.push_back(std::move(window));
    requestCollect(0);
}

int collectDeferred()
{
    auto& g = graveyard();
    g.scheduled = false;
    if (g.windows.empty())
        return 0;
    // A tick, a scan step or a modal window may have a window's member on the stack.
    const bool nested = QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 1;
    if (jobQueue().ticking() || scanRunning() || nested) {
        requestCollect(50);
        return 0;
    }
    std::vector<std::unique_ptr<NodeWindow>> dead;
    std::vector<std::unique_ptr<NodeWindow>> kept;
    for (auto& w : g.windows)
        (w->memberRunning() ? kept : dead).push_back(std::move(w));
    g.windows = std::move(kept);
    const int n = static_cast<int>(dead.size());
    dead.clear();
    if (!g.windows.empty())
        requestCollect(50);
    return n;
}

void destroyDeferredNow()
{
    std::vector<std::unique_ptr<NodeWindow>> dead;
    dead.swap(graveyard().windows);
}

int deferredCount() { return static_cast<int>(graveyard().windows.size()); }

void setCollectScheduler(std::function<void(int delayMs)> schedule)
{
    graveyard().schedule = std::move(schedule);
    graveyard().scheduled = false;
}

} // namespace shell
