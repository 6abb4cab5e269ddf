#include "core/state/corelayer.h"

#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "platform/onewire/tmex.h"

namespace core {

void resetCoreLayer()
{
    platform::resetTmex();
    resetCoreState();
    resetTdlState();
    resetListsState();
}

} // namespace core
