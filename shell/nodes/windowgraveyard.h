#pragma once
// Node windows whose records are gone wait here until no tick, job or scan is running,
// so that a window is never destroyed while one of its own members is on the stack.

#include "shell/nodes/nodewindow.h"

#include <functional>
#include <memory>

namespace shell {

// Unloads the window (it is hidden and its queued jobs are dropped) and keeps it until
// collectDeferred() finds a safe moment.
void deferDelete(std::unique_ptr<NodeWindow> window);
// Destroys the waiting windows unless a tick, a scan step or a modal window is running
// (then it asks to be called again later); a window whose member holds a MemberScope
// waits for it. Returns the number destroyed.
int collectDeferred();
// Windows waiting.
int deferredCount();
// Destroys the waiting windows whatever runs (program end).
void destroyDeferredNow();

// How a later collection is requested. The default posts a zero-length timer when a
// Qt application object exists, and does nothing otherwise (tests call collectDeferred).
void setCollectScheduler(std::function<void(int delayMs)> schedule);

} // namespace shell
