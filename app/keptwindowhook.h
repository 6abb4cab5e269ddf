#pragma once
// Registers the factory's kept windows as where the TEDS of a node that went with
// unwritten changes is kept, for as long as the object lives. Header only, so the tests
// that build the factory register it the same way.

#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/scopedhook.h"

#include <functional>

namespace app {

class KeptWindowHook {
public:
    explicit KeptWindowHook(editor::EditorNodeWindowFactory& factory)
        : hook_(&editor::setOrphanTedsWindow, [&factory] { return &factory.keptWindow(); })
    {
    }

private:
    platform::ScopedHook<std::function<editor::TedsF*()>> hook_;
};

} // namespace app
