#pragma once
// The node machinery's registrations, held for the object's life: the node windows, the
// node host, the node list the drivers see, the scan's bus, the window graveyard's collect
// timer and the job queue's scan step and scanning test. The program holds one with its
// real parts (the main window's host and scan come with the main window, MainWindowHooks);
// a test fixture holds one with its fakes. Header only and free of windows, so a shell test
// builds it with the libraries it links.

#include "device/drivers/driverstate.h"
#include "platform/base/scopedhook.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/nodewindowfactory.h"
#include "shell/nodes/windowgraveyard.h"

#include <functional>
#include <utility>

namespace app {

class NodeWiring {
public:
    // What the node machinery is made of; an empty part leaves the slot's own default.
    struct Parts {
        shell::NodeWindowFactory* windows = nullptr;             // the window of each node kind
        shell::NodeHost* host = nullptr;                         // nullptr: the stand-in
        device::DriverNodeList* driverNodes = &shell::driverNodeList();
        shell::ScanBus* scanBus = nullptr;                       // nullptr: the 1-Wire bus
        std::function<void(int delayMs)> collect = {};           // empty: the graveyard's timer
        std::function<bool()> isScanning = {};                   // the job queue: CommMode is Scanning
        std::function<bool()> scanStep = {};                     // the job queue: one search step
    };

    explicit NodeWiring(Parts parts)
        : windows_(&shell::setNodeWindowFactory, parts.windows), host_(&shell::setNodeHost, parts.host),
          driverNodes_(&device::setDriverNodeList, parts.driverNodes), scanBus_(&shell::setScanBus, parts.scanBus),
          collect_(&shell::setCollectScheduler, std::move(parts.collect)),
          isScanning_(shell::jobQueue().isScanning, std::move(parts.isScanning)),
          scanStep_(shell::jobQueue().scanStep, std::move(parts.scanStep))
    {
    }

private:
    template <class T>
    using Hook = platform::ScopedHook<T>;
    Hook<shell::NodeWindowFactory*> windows_;
    Hook<shell::NodeHost*> host_;
    Hook<device::DriverNodeList*> driverNodes_;
    Hook<shell::ScanBus*> scanBus_;
    Hook<std::function<void(int)>> collect_;
    Hook<std::function<bool()>> isScanning_;
    Hook<std::function<bool()>> scanStep_;
};

} // namespace app
