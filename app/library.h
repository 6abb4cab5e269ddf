#pragma once

#include "core/startup/startup.h"

namespace app {

// The template library operations of start-up, wired to the core.
core::StartupLibrary templateLibrary();
// Registers the library's validation check where the core asks for it.
void installLibraryGates();

} // namespace app
