#pragma once
// The node-list generator NodeListF without its widgets: a list of node ids that the
// user collects from the network, types, pastes and reorders, and writes as a node-list
// image into the one memory node present, so that the node tree groups the nodes of a
// multi-node transducer. The buttons only queue jobs; the jobs (and the request server,
// through the public procedures) touch the network. The image is the core's node-list
// codec; it is written and verified through device::Write_Node.

#include "core/teds/tedsbuf.h"
#include "shell/jobs/jobtarget.h"

#include <functional>
#include <string>
#include <vector>

namespace editor {

class NodeListView {
public:
    virtual ~NodeListView() = default;
    virtual bool windowVisible() = 0;
    virtual void parkFocus() = 0;
    virtual void modelChanged() = 0;
    // The clipboard in text format.
    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(const std::string&) = 0;
};

// The view of a model made without a window: hidden, an empty clipboard.
class NoNodeListView final : public NodeListView {
public:
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override {}
    std::string clipboardText() override { return {}; }
    void setClipboardText(const std::string&) override {}
};

// The jobs of the node-list generator (job target "NodeListF").
enum NodeListJob : int {
    // Writes the list into the one device present.
    WriteListDevice = 0,
    RescanNodes = 1,
    AddScannedNodes = 2,
    ReadListNodes = 3,
    // The request server's listNodelist and Kill_ackFile.
    ListForRequest = 4,
    RemoveRequestAck = 5,
};

class NodeListModel final : public shell::JobTarget {
public:
    static constexpr int kHelpTopic = 24;
    // Key codes and the control bit of the shift state, as the window hands them on.
    static constexpr int KeyBack = 8, KeyInsert = 45, KeyDelete = 46, KeyC = 67, KeyV = 86, KeyX = 88;
    static constexpr int ShiftCtrl = 2;

    explicit NodeListModel(NodeListView* view = nullptr);
    ~NodeListModel() override;

    // JobTarget: job 0 writes into the one device present, 1 rescans, 2 adds the
    // nodes, 3 reads them, 4 and 5 call the request server.
    void DoJob() override;
    void Refresh() override { changed(); }
    std::string name() const override { return "NodeListF"; }

    void Form_Load();

    // Public procedures (main window and request server).
    // Writes the list into the node id; true when it was written and verified.
    bool DO_PrgDevice(const std::string& id);
    // Drops every node and runs one full search pass.
    void UpdateNodes();
    // Appends the id of every device of the network, in node-table order.
    void AddNodes();
    void ReadNodes();
    void ClearNodeList();
    void addNode(const std::string& id);

    // Control events.
    void ieee_version_Click(int index);
    void PrgDevice_Click();
    void CbAddNodes_Click();
    void ReadList_Click();
    void ClearList_Click();
    void cbClearLog_Click();
    void ID_list_DblClick();
    void ID_list_MouseDown();
    // p: the list's selected position after the pointer moved.
    void ID_list_MouseMove(int p);
    void ID_list_MouseUp();
    void ID_list_KeyDown(int keyCode, int shift);

    // The image written for target: id, family, layout flag, Size, Bytes; false (image
    // untouched) when the list does not fit.
    bool buildImage(const std::string& targetId, int family, core::TedsBuf& image) const;
    // The node ids of the network's devices (adaptor nodes and a switch's second record
    // left out), in node-table order.
    static std::vector<std::string> networkDevices();

    // Control states, named as the window names its controls.
    std::string caption = "Tedsmith - Generate Nodelist";
    int HelpContextID = 0;
    std::vector<std::string> ID_list;
    int ListIndex = -1;  // selected entry, -1 none
    std::string activityLog;
    int ieee_version = 0;  // chosen option: 0 "IEEE P1451.4 beta or v 0.9x", 1 "IEEE 1451.4 v 3.0"
    bool allowROMprg = false;
    int DragIndex = -1;
    bool OldIeeeLayout = true;

    // The request server window's listNodelist and Kill_ackFile (jobs 4 and 5).
    std::function<void()> listNodelist;
    std::function<void()> Kill_ackFile;

private:
    void changed() { view_->modelChanged(); }
    void focusAway();
    void LogActivity(const std::string& text);
    void queue(NodeListJob job);
    void removeEntry(int k);
    void insertEntry(const std::string& text);
    void job0();
    // Why the list cannot be written into family's node; "" when it can.
    std::string listRefusal(int family) const;

    NodeListView* view_;
    NoNodeListView noView_;
};

// The generator as the request server reaches it: created and loaded on first use.
void setNodeListProvider(std::function<NodeListModel*()> provider);
// nullptr when no provider is registered.
NodeListModel* nodeListF();

} // namespace editor
