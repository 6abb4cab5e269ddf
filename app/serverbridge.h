#pragma once
// The request server wired into the program: the one T_server window (created at
// start, loaded when first shown), registered as the main window's request server, as
// the message suppressor of ShowMessage and in front of the message box; and what the
// engine calls on the rest of the program (every member of ServerHost): the main
// window, the TEDS windows, the default TEDS window, the node-list generator and the
// amplifier window.

#include "core/base/message.h"
#include "platform/base/scopedhook.h"
#include "server/engine/serverhost.h"
#include "server/engine/suppressingmessagebox.h"
#include "server/tserver/tserver.h"
#include "shell/iface/neighbourwindows.h"

#include <functional>
#include <memory>

namespace editor {
class EditorNodeWindowFactory;
}
namespace shell {
class MainF;
}

namespace app {

class AmplifierWindowHost;

class ServerBridge final : public server::ServerHost, public shell::RequestServerWindow {
public:
    // main: the main window once it exists; windows: the TEDS windows' factory (its shared
    // window is the default TEDS window); amplifier: the amplifier window. Kept by the caller.
    ServerBridge(std::function<shell::MainF*()> main, editor::EditorNodeWindowFactory& windows,
                 AmplifierWindowHost& amplifier);
    ~ServerBridge() override;

    server::T_server& window() { return *window_; }
    server::RequestEngine& engine() { return window_->engine; }

    // shell::RequestServerWindow
    void show() override;
    void unload() override;

    // server::ServerHost
    bool mainWindowVisible() override;
    void setMainWindowVisible(bool visible) override;
    bool amplifierLinkChosen() override;
    void postMainJob(shell::MainJob job, int param) override;
    void endProgram() override;
    bool mayEndProgram() override;
    int updateTAG(shell::NodeWindow& w, const std::string& name, const std::string& index, const std::string& value,
                  bool noValue, std::string& why) override;
    bool CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid) override;
    std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool prefix) override;
    bool WriteNode_s(shell::NodeWindow& w, std::string& why) override;
    std::string ActualNodeID() override;
    void setActualNodeID(const std::string& id) override;
    void setSelectedNodeID(const std::string& id) override;
    bool Delete_memory() override;
    std::optional<core::TedsBuf> storedTeds(shell::NodeWindow& w) override;
    void ClearNodeList() override;
    void addNode(const std::string& id) override;
    void AddNodes() override;
    void ReadNodes() override;
    std::vector<std::string> nodeListIds() override;
    void setAllowROMprg(bool allow) override;
    bool DO_PrgDevice(const std::string& id) override;
    void rescanAmplifierChannel() override;
    bool Select_Channel(int n) override;

private:
    std::function<shell::MainF*()> main_;
    editor::EditorNodeWindowFactory& windows_;
    AmplifierWindowHost& amplifier_;
    std::unique_ptr<server::T_server> window_;
    std::unique_ptr<server::SuppressingMessageBox> box_;
    platform::ScopedHook<platform::MessageBoxService*> boxHook_;
    platform::ScopedHook<core::MessageSuppressor*> suppressorHook_;
    platform::ScopedHook<shell::RequestServerWindow*> serverWindowHook_;
};

} // namespace app
