#pragma once
// Module state of the TEDS windows and what they need of windows built elsewhere (the
// amplifier window, the request server, the create/remap dialog, the main window). The
// program registers those once in app/; until then a stand-in answers as a program
// without them (main window shown, no request, no dialog, no File menu).

#include "core/teds/tedsbuf.h"

#include <functional>
#include <string>
#include <vector>

class QDialog;

namespace editor {

class TedsF;

struct EditorState {
    // One TEDS per node index, stored when a window binds to a node: as many as the node
    // list has records.
    std::vector<core::TedsBuf> NodeTeds;
    // The last TEDS whose template was not found (the raw view of a window without one).
    core::TedsBuf LastTedsBuf;
    // Whether that TEDS's DS2430A application register was locked.
    bool LastTedsRomLocked = false;
};

EditorState& editorState();
void resetEditorState();
// The editor's state after every state of the layers below (shell, device, core, platform).
void resetEditorLayer();

class TedsNeighbours {
public:
    virtual ~TedsNeighbours() = default;
    // The main window is shown (a hidden one limits a read to two tries).
    virtual bool mainWindowVisible() = 0;
    // A node's memory changed on the amplifier link: the amplifier window selects its
    // clicked tree node again.
    virtual void reselectAmplifierNode() = 0;
    // The running request's family code (RequestFamily of the request server).
    virtual int requestFamily() = 0;
    // The running request carries ALLOWROMPROGRAMMING.
    virtual bool allowRomProgramming() = 0;
    // A line for the request server's log and its response file.
    virtual void requestReport(const std::string& line) = 0;
    // The create/remap dialog for owner: mode 0 new TEDS, 1 remap; shown modal. True when
    // it gave the window a template (GotTemplate).
    virtual bool runTemplateDialog(int mode, TedsF& owner) = 0;
    // Shows the trace window without a modal state.
    virtual void showTraceWindow() = 0;
    // A File menu item (0 read, 1 save, 3 print, 4 rtf).
    virtual void fileMenu(int item, TedsF& window) = 0;
};

// What answers until the program registers: a program without a request, an amplifier or a
// template dialog (the main window shown, no request family, no File menu). Tests derive
// their neighbours from it and override what they watch.
class StandInTedsNeighbours : public TedsNeighbours {
public:
    bool mainWindowVisible() override { return true; }
    void reselectAmplifierNode() override {}
    int requestFamily() override { return 0; }
    bool allowRomProgramming() override { return false; }
    void requestReport(const std::string&) override {}
    bool runTemplateDialog(int, TedsF&) override { return false; }
    void showTraceWindow() override {}
    void fileMenu(int, TedsF&) override {}
};

// nullptr restores the stand-in. The caller keeps ownership.
void setTedsNeighbours(TedsNeighbours* n);
TedsNeighbours& tedsNeighbours();

// How a modal window of the TEDS window is run (tests answer it without a loop). The
// default is QDialog::exec.
void setModalRunner(std::function<void(QDialog&)> run);
void runModal(QDialog& dialog);

} // namespace editor
