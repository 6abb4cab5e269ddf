#pragma once
// What the interface choice needs of the main window: posting its jobs, the focus
// button, the node list, the beep, the trace window, and showing changed state.

#include "shell/iface/mainjob.h"
#include "shell/jobs/jobqueue.h"

#include <string>

namespace shell {

class IfaceHost {
public:
    virtual ~IfaceHost() = default;
    // Posts job subno of the main window.
    virtual void postMainJob(MainJob subno, JobParam param) = 0;
    // Moves the focus to the off-screen button while the window is visible.
    virtual void parkFocus() = 0;
    // Records in the node list, and the id of record index.
    virtual int nodeCount() = 0;
    virtual std::string nodeId(int index) = 0;
    // Removes the node with its tree nodes and windows.
    virtual void Remove_transducer(const std::string& id) = 0;
    virtual void beep() = 0;
    // Empties the trace window's text.
    virtual void clearTrace() = 0;
    // Control state changed: show it now.
    virtual void changed() = 0;
    // An activation begins: failures already reported are reported again from now on.
    virtual void activationStarted() = 0;
};

} // namespace shell
