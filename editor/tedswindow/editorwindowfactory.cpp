#include "editor/tedswindow/editorwindowfactory.h"

#include "editor/tedswindow/tedsf.h"

namespace editor {

EditorNodeWindowFactory::EditorNodeWindowFactory(shell::NodeWindowFactory& others) : others_(others)
{
    setOrphanTedsWindow([this] { return &shared(); });
}

EditorNodeWindowFactory::~EditorNodeWindowFactory()
{
    setOrphanTedsWindow(nullptr);
}

std::unique_ptr<shell::NodeWindow> EditorNodeWindowFactory::NewTedsF() { return std::make_unique<TedsF>(); }

shell::NodeWindow* EditorNodeWindowFactory::SharedTedsF() { return &shared(); }

TedsF& EditorNodeWindowFactory::shared()
{
    if (!shared_)
        shared_ = std::make_unique<TedsF>();
    return *shared_;
}

void EditorNodeWindowFactory::releaseShared() { shared_.reset(); }

} // namespace editor
