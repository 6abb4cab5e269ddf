#pragma once
// TedsF, the TEDS window of one memory node (or the shared window of files and empty
// TEDS): a thin view over its TEDS document. It binds to a node record (Inititiate) and
// shows the title, the grid (TedsGrid) and the menu state (TedsMenus). Its parts: the node
// I/O and the jobs (TedsNodeIo), the File menu (TedsFileMenu), what the menus do
// (TedsCommands) and the unwritten work (TedsKeeper). An edit reaches the TEDS when its
// value box loses the focus.

// moc cannot parse the standard library's concepts some of these pull in.
#ifndef Q_MOC_RUN
#include "core/tdl/templaterecord.h"
#include "editor/model/tedsdocument.h"
#include "editor/report/richtextbox.h"
#include "editor/tedswindow/tedsbinding.h"
#include "editor/tedswindow/tedscommands.h"
#include "editor/tedswindow/tedsfilemenu.h"
#include "editor/tedswindow/tedsgrid.h"
#include "editor/tedswindow/tedskeeper.h"
#include "editor/tedswindow/tedsmenus.h"
#include "editor/tedswindow/tedsnodeio.h"
#include "shell/nodes/nodewindow.h"
#endif

#include <QMainWindow>

#include <array>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace editor {

class TedsF final : public QMainWindow,
                    public shell::NodeWindow,
                    private TedsDocumentObserver,
                    private TedsGridHost,
                    private TedsView {
    Q_OBJECT
    // F1 reads the topic by this name.
    Q_PROPERTY(int HelpContextID MEMBER HelpContextID)
public:
    explicit TedsF(QWidget* parent = nullptr);
    ~TedsF() override;

    // --- Node window ------------------------------------------------------------------
    using shell::NodeWindow::Inititiate;
    void Inititiate(int index) override
    {
        std::int32_t state = 0;
        binding.bind(index, state);
    }
    void Inititiate(int index, std::int32_t& NodeState) override { binding.bind(index, NodeState); }
    void reqShow() override;
    bool Visible() const override { return isVisible(); }
    void DoJob() override;
    std::string name() const override { return "TedsF"; }
    std::string Title() const override { return doc.Title; }
    void MakeNodeListfrombuf() override { binding.makeNodeList(); }
    void ShowUnknownTemplate() override;
    void CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText) override { CreateNewTEDS(obj, idText, false); }
    // notLinkedToNode: the TEDS belongs to no node (Tools > "Create empty TEDS").
    void CreateNewTEDS(shell::NodeWindow& obj, const std::string& idText, bool notLinkedToNode);

    // --- Members other windows call by name -----------------------------------------
    // The binding to a node record (TedsBinding), the node I/O and the jobs (TedsNodeIo).
    TedsBinding binding{*this};
    TedsNodeIo nodeIo{*this};
    void ReadNode_msg(bool ForceRomRead) { nodeIo.readAndShow(ForceRomRead); }
    bool WriteNode_s(std::string* why = nullptr) { return nodeIo.writeForRequest(why); }
    bool Delete_memory() { return nodeIo.deleteForRequest(); }
    void ResetState(int unused = 0) { commands.ResetState(); }
    void UpdateMenuState() { commands.UpdateMenuState(); }
    void SetLockState(int state) { commands.SetLockState(state); }
    void ShowForm() { commands.ShowForm(); }
    void ShowNodeList() { commands.ShowNodeList(); }
    void UpdateInfo() override;
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

    // --- Menus and controls (what a click does, TedsCommands) -------------------------
    void mnuFile_Click(int index) { commands.fileMenu(index); }
    void mnuNode_Click(int index) { commands.nodeMenu(index); }
    void mnuTemplate_Click(int index) { commands.templateMenu(index); }
    void ShowMemData_Click() { ShowUnknownTemplate(); }
    void DoDebug_Click();
    // The value box of row k lost the focus: the row is encoded.
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
    TedsCommands commands{doc, menus, *this, HelpContextID};
    core::TemplateRecord& nodeListTemplate = commands.nodeListTemplate;

    // --- Controls, named as the program names them ---------------------------------------
    QLineEdit* TitleBox = nullptr;  // "Title"
    // The node-id line, the rows and the CRC labels (made here, placed in buildUi).
    TedsGrid* const GridScroll = new TedsGrid(doc, *this);
    QLabel*& Lbl_ID = GridScroll->Lbl_ID;
    QLineEdit*& LbL_RS = GridScroll->LbL_RS;
    std::array<QLabel*, kRowCount>& Col1 = GridScroll->Col1;
    std::array<QLineEdit*, kRowCount>& Col2 = GridScroll->Col2;
    QLabel*& LblCRC256 = GridScroll->LblCRC256;
    QLabel*& LBLcrc = GridScroll->LBLcrc;
    QLabel* TEDS_toolTips = nullptr;
    QLabel* ZQ_text = nullptr;
    QPushButton* ShowMemData = nullptr;
    QPushButton* DoDebug = nullptr;
    QPushButton* nofocus = nullptr;
    QMenu* mnuFileMenu = nullptr;
    QMenu* mnuNodeMenu = nullptr;
    QMenu* mnuTemplateMenu = nullptr;
    std::array<QAction*, 5> mnuFile{};
    std::array<QAction*, 6> mnuNode{};
    std::array<QAction*, 6> mnuTemplate{};

    // Shows the menu state and the document in the widgets.
    void syncMenus() override;
    void syncDocument() override;
    // Unwritten work (TedsKeeper).
    TedsKeeper keeper{*this};
    bool hasUnwrittenChanges() const { return keeper.unwritten(); }
    bool holdsUnsavedChanges() const { return keeper.unsaved(); }
    bool mayReplaceTeds() override { return keeper.mayReplace(); }
    void noteKept() override { keeper.noteKept(); }
    bool& keptOrphan = keeper.orphan;
    bool& keptHeld = keeper.held;
    // The window sized to its rows (TedsGrid::fitWindow).
    void fitToContent();

protected:
    void closeEvent(QCloseEvent* e) override;
    void onUnload() override;

private:
    friend class TedsBinding;
    friend class TedsNodeIo;
    friend class TedsKeeper;
    void Form_Load();
    void buildUi();
    void connectControls();
    void noteInSync() { keeper.noteInSync(); }
    void commitTypedRows();
    // TedsView
    void parkFocus() override;
    void postJob(TedsJob job) override;
    void fileMenu(int item) override;
    bool runTemplateDialog(int mode) override;
    void showTransferFunction() override;
    // TedsGridHost
    void valueBoxLeft(int k) override { Col2_LostFocus(k); }
    // TedsDocumentObserver
    void textsChanged() override { syncDocument(); }
    void layoutChanged() override { syncDocument(); }
    void locksChanged() override { syncDocument(); }
    void showNodeList() override { ShowNodeList(); }
};

// The TEDS window's File menu: 0 "Read TEDS", 1 "Save TEDS as", 3 "Print TEDS", 4 "Save
// TEDS as rtf document" (what the program registers as the File menu hook).
void runFileMenu(int item, TedsF& window);

} // namespace editor
