#include "editor/tedswindow/editorstate.h"

#include "shell/state/shelllayer.h"

#include <QDialog>

namespace editor {

namespace {

StandInTedsNeighbours g_standIn;
TedsNeighbours* g_neighbours = nullptr;

std::function<void(QDialog&)>& modalRunner()
{
    static std::function<void(QDialog&)> run;
    return run;
}

} // namespace

EditorState& editorState()
{
    static EditorState s;
    return s;
}

void resetEditorState() { editorState() = EditorState{}; }

void resetEditorLayer()
{
    shell::resetShellLayer();
    resetEditorState();
}

void setTedsNeighbours(TedsNeighbours* n) { g_neighbours = n; }
TedsNeighbours& tedsNeighbours() { return g_neighbours ? *g_neighbours : g_standIn; }

void setModalRunner(std::function<void(QDialog&)> run) { modalRunner() = std::move(run); }

void runModal(QDialog& dialog)
{
    if (modalRunner())
        modalRunner()(dialog);
    else
        dialog.exec();
}

} // namespace editor
