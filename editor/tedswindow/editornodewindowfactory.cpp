#include "editor/tedswindow/editornodewindowfactory.h"

#include "editor/tedswindow/tedsf.h"
#include "shell/nodes/nodelist.h"

#include <QPointer>

namespace editor {

EditorNodeWindowFactory::EditorNodeWindowFactory(shell::NodeWindowFactory& others) : others_(others) {}

EditorNodeWindowFactory::~EditorNodeWindowFactory() = default;

std::unique_ptr<shell::NodeWindow> EditorNodeWindowFactory::NewTedsF() { return std::make_unique<TedsF>(); }

shell::NodeWindow* EditorNodeWindowFactory::SharedTedsF() { return &shared(); }

TedsF& EditorNodeWindowFactory::shared()
{
    if (!shared_)
        shared_ = std::make_unique<TedsF>();
    return *shared_;
}

TedsF& EditorNodeWindowFactory::keptWindow()
{
    for (auto& w : kept_)
        if (!w->isVisible() && !w->keptHeld && !w->holdsUnsavedChanges())
            return *w;
    kept_.push_back(std::make_unique<TedsF>());
    return *kept_.back();
}

bool EditorNodeWindowFactory::mayEndProgram()
{
    // A question lets events run: a node window may go meanwhile (its TEDS then moves to a
    // kept window, asked about in turn).
    std::vector<QPointer<TedsF>> windows;
    for (const auto& rec : shell::nodesState().TrList)
        if (auto* w = dynamic_cast<TedsF*>(rec.obj.get()); w && !w->unloaded())
            windows.emplace_back(w);
    if (shared_)
        windows.emplace_back(shared_.get());
    for (const auto& w : windows)
        if (w && !w->unloaded() && !w->mayReplaceTeds())
            return false;
    // By index: a kept window may be added while a question is open.
    for (std::size_t i = 0; i < kept_.size(); ++i)
        if (!kept_[i]->mayReplaceTeds())
            return false;
    return true;
}

void EditorNodeWindowFactory::releaseShared()
{
    kept_.clear();
    shared_.reset();
}

} // namespace editor
