#include "app/resetallstate.h"

#include "amplifier/model/amplifierrecord.h"
#include "editor/tedswindow/editorstate.h"

namespace app {

void resetAllState()
{
    // The editor's reset runs the layers' below it; the amplifier's state sits on the same layer.
    editor::resetEditorLayer();
    amplifier::resetAmplifierState();
}

} // namespace app
