#pragma once

#include "core/startup/startup.h"
#include "core/teds/memoryfile.h"

namespace app {

// The template library operations of start-up, wired to the core.
core::StartupLibrary templateLibrary();

// Saving a memory file needs a validated library, like writing a node (the program
// registers it with core::setSaveValidationGate).
class LibraryGate final : public core::SaveValidationGate {
public:
    bool filesValidated(const core::TedsBuf& image) override;
};

} // namespace app
