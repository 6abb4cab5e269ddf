#pragma once
// TedsF, the TEDS window of one memory node (or the shared window of files and empty
// TEDS): a thin view over its TEDS document. It binds to a node record (Inititiate),
// reads the node with retries, writes and erases it through the drivers, runs jobs 0 to
// 6 from the queue, and shows the document as 41 rows of caption and value box, the
// node-id box, the title and the CRC label. Its File, Node and Template menus are the
// plain state of TedsMenus. An edit reaches the TEDS when its value box loses the focus.

// moc cannot parse the standard library's concepts some of these pull in.
#ifndef Q_MOC_RUN
#include "core/tdl/templaterecord.h"
#include "editor/model/tedsdocument.h"
#include "editor/report/richtextbox.h"
#include "editor/tedswindow/tedsfilemenu.h"
#include "editor/tedswindow/tedsmenus.h"
#include "editor/tedswindow/tedsnodeio.h"
#include "editor/tedswindow/unwrittenwork.h"
#include "shell/nodes/nodewindow.h"
#endif

#include <QMainWindow>
#include <QSize>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;

namespace editor {

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

class TedsF final : public QMainWindow, public shell::NodeWindow, private TedsDocumentObserver {
    Q_OBJECT
    // F1 reads the topic by this name.
    Q_PROPERTY(int HelpContextID MEMBER HelpContextID)
public:
    explicit TedsF(QWidget* parent = nullptr);
    ~TedsF() override;

    // --- Node window ------------------------------------------------------------------
    using shell::NodeWindow::Inititiate;
    void Inititiate(int index) override;
    void Inititiate(int index, std::int32_t& NodeState) override;
    void reqShow() override;
    bool Visible() const override { return isVisible(); }
    void DoJob() override;
    std::string name() const override { return "TedsF"; }
    std::string Title() const override { return doc.Title; }
    void MakeNodeListfrombuf() override;
    void ShowUnknownTemplate() override;
    void CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText) override { CreateNewTEDS(obj, idText, false); }
    // notLinkedToNode: the TEDS belongs to no node (Tools > "Create empty TEDS").
    void CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText, bool notLinkedToNode);

    // --- Members other windows call by name -----------------------------------------
    // The node I/O (TedsNodeIo).
    TedsNodeIo nodeIo{*this};
    void ReadNode_msg(bool ForceRomRead) { nodeIo.readAndShow(ForceRomRead); }
    bool WriteNode_s(std::string* why = nullptr) { return nodeIo.writeForRequest(why); }
    bool Delete_memory() { return nodeIo.deleteForRequest(); }
    void ResetState(int unused = 0);
    void UpdateMenuState();
    void SetLockState(int state);
    void ShowForm();
    void ShowNodeList();
    void UpdateInfo();
    int ActualTemplate() const { return doc.ActualTemplate(); }
    // The full TEDS listing of this window's TEDS, one entry per line (the request server).
    std::vector<std::string> appendFullTEDS(bool prefix);
    static std::string boolean_txt(bool v) { return v ? "True" : "False"; }

    // --- Files, printing and RTF (the File menu, TedsFileMenu) ------------------------
    TedsFileMenu files{*this};
    bool Open_file(shell::NodeWindow& obj, bool standAlone) { return files.openFile(obj, standAlone); }
    bool SaveTedsFile() { return files.saveFile(); }
    void PrintTeds() { files.print(); }
    void SaveTedsRtf() { files.saveRtf(); }
    void BuildTedsReport() { files.buildReport(); }
    std::string& FileName = files.fileName;
    RichTextBox& RichTextBox1 = files.report;

    // --- Menus and controls (what a click does) ---------------------------------------
    void mnuFile_Click(int index);
    void mnuNode_Click(int index);
    void mnuTemplate_Click(int index);
    void ShowMemData_Click() { ShowUnknownTemplate(); }
    void DoDebug_Click();
    // The value box of row k lost the focus.
    void Col2_LostFocus(int k);
    // The close box: hides the window (unload mode 0 is cancelled).
    void Form_QueryUnload(int unloadMode);

    // --- State -------------------------------------------------------------------------
    TedsDocument doc;
    std::string& ActualNodeID = doc.ActualNodeID;
    std::string SelectedNodeID;
    shell::NodeWindow* nodeObject = nullptr;  // the window of the record bound to
    bool FormLoaded = true;
    // The DS2430A application register of the node this TEDS was read from is locked.
    bool& AppRomLocked = doc.AppRomLocked;
    int HelpContextID = 36;
    TedsMenus menus;
    // The nodes of the node list on show, as read (the window's own pseudo template).
    core::TemplateRecord nodeListTemplate;

    // --- Controls, named as the program names them ---------------------------------------
    QLineEdit* TitleBox = nullptr;  // "Title"
    QLabel* Lbl_ID = nullptr;
    QLineEdit* LbL_RS = nullptr;
    std::array<QLabel*, kRowCount> Col1{};
    std::array<QLineEdit*, kRowCount> Col2{};
    QLabel* LblCRC256 = nullptr;
    QLabel* LBLcrc = nullptr;
    QLabel* TEDS_toolTips = nullptr;
    QLabel* ZQ_text = nullptr;
    QPushButton* ShowMemData = nullptr;
    QPushButton* DoDebug = nullptr;
    QPushButton* nofocus = nullptr;
    QScrollArea* GridScroll = nullptr;  // the node-id line, the rows and the CRC labels
    QMenu* mnuFileMenu = nullptr;
    QMenu* mnuNodeMenu = nullptr;
    QMenu* mnuTemplateMenu = nullptr;
    std::array<QAction*, 5> mnuFile{};
    std::array<QAction*, 6> mnuNode{};
    std::array<QAction*, 6> mnuTemplate{};

    // Shows the menu state and the document in the widgets.
    void syncMenus();
    void syncDocument();
    // The TEDS holds changes that never reached the node (edits, a new template, a file).
    bool hasUnwrittenChanges() const { return unwritten_.unwritten(doc); }
    // ... and that exist nowhere else: not on the node, not in a file read or saved since,
    // not just made from a template. These are what a replacement or the end would lose.
    bool holdsUnsavedChanges() const { return unwritten_.unsaved(doc); }
    // Before the TEDS is replaced or let go: with unsaved changes the window is shown and
    // the user asked (Yes: saved in a file first, No: let go, Cancel: kept). True when it
    // may go. Unanswered (the request server's quiet mode) counts as Cancel.
    bool mayReplaceTeds();
    // The TEDS as it stands exists elsewhere (a file read or saved, a new empty TEDS).
    void noteKept() { unwritten_.noteKept(doc); }
    // The window keeps the TEDS of a node that went with unwritten changes: it belongs to
    // no node and nothing else loads into it; its close box asks before letting it go.
    bool keptOrphan = false;
    // The window sized to its rows: as high as the last row, as wide as the widest
    // caption and value, within the screen (the grid scrolls beyond it). The value boxes
    // are the design width (wider for descriptions) or as wide as their widest text.
    // A size the user chose stays until the content changes.
    void fitToContent();
    static constexpr int kValueWidth = 233;        // 3495 twips
    static constexpr int kDescriptionExtra = 200;  // 3000 twips
    // The kept TEDS has not been let go by the user yet (until the close box lets it go, the
    // window is not handed to another node that goes, even while it waits to be shown).
    bool keptHeld = false;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void onUnload() override;

private:
    void Form_Load();
    void buildUi();
    void connectControls();
    void postJob(TedsJob job);
    void parkFocus();
    // Record index of the window's TEDS node, -1 when it is not listed.
    int ownRecord() const;
    // The window's node is in the node list.
    bool nodeListed() const;
    // The node holds what the document holds.
    void noteInSync() { unwritten_.noteInSync(doc); }
    friend class TedsNodeIo;
    // Template matching on the document; Inititiate's and ReadNode_msg's common part.
    bool matchTemplate();
    void storeSelector();
    // Handing the unwritten TEDS of a node that went to a window of its own.
    void keepOrphanedTeds();
    // Encodes text still typed into a value box (the grid on show only).
    void commitTypedRows();
    // TedsDocumentObserver
    void textsChanged() override { syncDocument(); }
    void layoutChanged() override { syncDocument(); }
    void locksChanged() override { syncDocument(); }
    void showNodeList() override { ShowNodeList(); }

    // The grid's scroll area, as large as the grid wants (tedsflayout.cpp).
    static QScrollArea* makeGridScroll(QWidget* parent);
    QSize fitted_;  // the size fitToContent last gave

    bool syncing_ = false;
    bool committing_ = false;  // an encoding pass runs (its messages may move the focus)
    UnwrittenWork unwritten_;
};

// The TEDS window's File menu: 0 "Read TEDS", 1 "Save TEDS as", 3 "Print TEDS", 4 "Save
// TEDS as rtf document" (what the program registers as the File menu hook).
void runFileMenu(int item, TedsF& window);

// Where the unwritten TEDS of a node that went is kept: a window of its own for each such
// TEDS, never one that holds other unsaved work. Empty or returning nullptr: nowhere,
// the user is told it is lost.
void setOrphanTedsWindow(std::function<TedsF*()> keeper);

} // namespace editor
