#include "app/resetallstate.h"

#include "amplifier/model/amplifierrecord.h"
#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/tedswindow/editorstate.h"
#include "platform/onewire/tmex.h"
#include "shell/iface/ifacestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"

namespace app {

void resetAllState()
{
    platform::resetTmex();
    core::resetCoreState();
    core::resetTdlState();
    core::resetListsState();
    device::resetDeviceState();
    device::resetDriverState();
    device::resetOneWireState();
    device::resetTransportState();
    shell::resetNodesState();
    shell::resetScanState();
    shell::resetScanErrors();
    shell::resetIfaceState();
    shell::jobQueue().reset();
    editor::resetEditorState();
    amplifier::resetAmplifierState();
}

} // namespace app
