#pragma once
// What the main window is to the rest of the program, registered for as long as the
// object lives: the 1-Wire window, the amplifier link's serial port, the node host and the
// job queue's scan step (MainWindowHooks, from construction on); the queue's timer, posted
// runs and busy pointer (MainWindowQueueHooks, from Form_Load on). Header only, so the
// tests that build a main window register it the same way.

#include "device/amplink/peloxtransport.h"
#include "device/onewire/onewirewindow.h"
#include "platform/base/scopedhook.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainf.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"

#include <functional>

namespace app {

class MainWindowHooks {
public:
    explicit MainWindowHooks(shell::MainF& main)
        : oneWireWindow_(&device::setOneWireWindow, &main), port_(&device::setPeloxPort, &main.MSComm1()),
          nodeHost_(&shell::setNodeHost, &main), scanStep_(shell::jobQueue().scanStep, &shell::scanOneStep),
          isScanning_(shell::jobQueue().isScanning, &shell::MainJobs::scanning)
    {
    }

private:
    platform::ScopedHook<device::OneWireWindow*> oneWireWindow_;
    platform::ScopedHook<platform::SerialPort*> port_;
    platform::ScopedHook<shell::NodeHost*> nodeHost_;
    platform::ScopedHook<std::function<bool()>> scanStep_;
    platform::ScopedHook<std::function<bool()>> isScanning_;
};

class MainWindowQueueHooks {
public:
    explicit MainWindowQueueHooks(shell::MainF& main)
        : enableTimer_(shell::jobQueue().enableTimer, [&main] { main.jobs().startTimer(); }),
          scheduleRun_(shell::jobQueue().scheduleRun, [&main] { main.jobs().scheduleRun(); }),
          applyHourglass_(shell::jobQueue().applyHourglass, &shell::MainJobs::applyHourglass)
    {
    }

private:
    platform::ScopedHook<std::function<void()>> enableTimer_;
    platform::ScopedHook<std::function<void()>> scheduleRun_;
    platform::ScopedHook<std::function<void(bool)>> applyHourglass_;
};

} // namespace app
