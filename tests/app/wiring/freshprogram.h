#pragma once
// Every state of the program reset, and the shipped tag list and template library loaded, as
// a freshly started program has them: the start of the wiring tests that run a TEDS read
// through the amplifier window.

#include "amplifier/model/amplifierrecord.h"
#include "app/resetallstate.h"
#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/tedswindow/editorstate.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "tests/support/testsupport.h"

#include <memory>

namespace wiringtest {

inline void freshProgramWithShippedLibrary()
{
    app::resetAllState();
    core::coreState().ProgramFolder = testing_support::dataDir();
    core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
    core::ParseTemplateFile("IEEE_Templates.tdl");
}

} // namespace wiringtest
