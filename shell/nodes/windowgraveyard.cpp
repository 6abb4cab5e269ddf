#include "shell/nodes/windowgraveyard.h"

#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"

#include <QCoreApplication>
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
    if (jobQueue().ticking() || scanRunning()) {
        // A member of one of them may still be running: try again a little later.
        requestCollect(50);
        return 0;
    }
    std::vector<std::unique_ptr<NodeWindow>> dead;
    dead.swap(g.windows);
    const int n = static_cast<int>(dead.size());
    dead.clear();
    return n;
}

int deferredCount() { return static_cast<int>(graveyard().windows.size()); }

void setCollectScheduler(std::function<void(int delayMs)> schedule)
{
    graveyard().schedule = std::move(schedule);
    graveyard().scheduled = false;
}

} // namespace shell
