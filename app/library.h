#pragma once

#include "core/startup/startup.h"

namespace app {

// The template library operations of start-up, wired to the core.
core::StartupLibrary templateLibrary();

} // namespace app
