#pragma once
// What the TEDS window's menus do, without widgets: the File, Node and Template menu
// items, the menu state after binding, reading and resetting, the lock state, and what the
// document's display (grid, node list, nothing) makes of the window. It works on the
// window's document and menu state and asks the window (TedsView) to show them, to post
// jobs and to run its dialogs.

#include "core/tdl/templaterecord.h"
#include "editor/tedswindow/tedsmenus.h"

#include <string>

namespace editor {

class TedsDocument;

// The jobs of a TEDS window (job target "TedsF"), as the queue stores them.
enum TedsJob : int {
    ReadNode = 0,
    // Reads again, also after a read that went well.
    ReadNodeForce = 1,
    WriteNode = 2,
    // Fills the memory with FFh.
    FillMemory = 4,
    ShowBuffer = 5,
    DebugWrite = 6,
};

// What the commands ask of the window that shows them.
class TedsView {
public:
    // Shows the menu state, the document.
    virtual void syncMenus() = 0;
    virtual void syncDocument() = 0;
    // The focus to the window's hidden button (no value box keeps it).
    virtual void parkFocus() = 0;
    virtual void reqShow() = 0;
    virtual void postJob(TedsJob job) = 0;
    // See TedsKeeper.
    virtual bool mayReplaceTeds() = 0;
    virtual void noteKept() = 0;
    // The dialogs: a File menu item, the create/remap dialog (mode 0 new, 1 remap; true
    // when it gave a template), the transfer function, the information window.
    virtual void fileMenu(int item) = 0;
    virtual bool runTemplateDialog(int mode) = 0;
    virtual void showTransferFunction() = 0;
    virtual void UpdateInfo() = 0;

protected:
    ~TedsView() = default;
};

class TedsCommands {
public:
    // helpContextId: the window's help topic, set by what it shows.
    TedsCommands(TedsDocument& doc, TedsMenus& menus, TedsView& view, int& helpContextId)
        : doc_(doc), menus_(menus), view_(view), help_(helpContextId)
    {
    }
    TedsCommands(const TedsCommands&) = delete;
    TedsCommands& operator=(const TedsCommands&) = delete;

    void fileMenu(int index);
    void nodeMenu(int index);
    void templateMenu(int index);

    void UpdateMenuState();
    void SetLockState(int state);
    // Every menu shown, read only, the values (not descriptions) on show.
    void ResetState();
    // The document shown as what it is: a TEDS, a node list or nothing.
    void ShowForm();
    // The node list the memory holds, as rows of node ids (the window's own pseudo
    // template nodeListTemplate), with the File and Template menus gone.
    void ShowNodeList();
    // After the user may replace the TEDS: an empty TEDS from the create dialog for the
    // node idText names (a tree key "id" & node id, or a node id).
    void newTedsFor(const std::string& idText, bool notLinkedToNode);

    // The nodes of the node list on show, as read.
    core::TemplateRecord nodeListTemplate;

private:
    TedsDocument& doc_;
    TedsMenus& menus_;
    TedsView& view_;
    int& help_;
};

} // namespace editor
