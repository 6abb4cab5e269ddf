#include "shell/state/shelllayer.h"

#include "device/state/devicelayer.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"

namespace shell {

void resetShellLayer()
{
    device::resetDeviceLayer();
    resetNodesState();
    resetScanState();
    resetScanErrors();
    resetIfaceState();
    jobQueue().reset();
}

} // namespace shell
