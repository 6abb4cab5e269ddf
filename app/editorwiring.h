#pragma once
// What the TEDS windows reach beyond the editor, registered for the object's life: their
// neighbourhood (amplifier window, request server, main window, template dialog) and how
// they run a modal dialog. The program holds one with its real parts, a test fixture one
// with its fakes. Header only, so the tests of the TEDS window build it the same way.

#include "editor/tedswindow/editorstate.h"
#include "platform/base/scopedhook.h"

#include <functional>
#include <utility>

class QDialog;

namespace app {

class EditorWiring {
public:
    struct Parts {
        editor::TedsNeighbours* neighbours = nullptr;   // nullptr: the stand-in
        std::function<void(QDialog&)> runModal = {};    // empty: the dialog's own exec()
    };

    explicit EditorWiring(Parts parts)
        : neighbours_(&editor::setTedsNeighbours, parts.neighbours), runModal_(&editor::setModalRunner, std::move(parts.runModal))
    {
    }

private:
    platform::ScopedHook<editor::TedsNeighbours*> neighbours_;
    platform::ScopedHook<std::function<void(QDialog&)>> runModal_;
};

} // namespace app
