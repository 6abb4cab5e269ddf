#pragma once
// What the request server needs of the rest of the program: the main window (shown or
// hidden, the chosen interface, its jobs, the end of the program), the TEDS windows of
// the nodes, the default TEDS window, the node-list generator and the amplifier window.
// Every member is pure: app/ implements all of them (ServerBridge), and a missing one
// does not compile. What the server's own window shows is ServerView.

#include "core/teds/tedsbuf.h"
#include "core/tdl/currency.h"
#include "shell/iface/mainjob.h"

#include <optional>
#include <string>
#include <vector>

namespace shell {
class NodeWindow;
}

namespace server {

class ServerHost {
public:
    virtual ~ServerHost() = default;

    // --- Main window ---------------------------------------------------------------
    virtual bool mainWindowVisible() = 0;
    virtual void setMainWindowVisible(bool visible) = 0;
    // Item 1 of the interface menu (the amplifier link) is checked.
    virtual bool amplifierLinkChosen() = 0;
    // Posts main-window job `job` with parameter `param`.
    virtual void postMainJob(shell::MainJob job, int param) = 0;
    // Ends the program (after the server window saved its settings).
    virtual void endProgram() = 0;
    // The program may end: no TEDS window would lose changes that were neither written nor
    // saved (each such window asks; while messages are suppressed the answer is Cancel).
    virtual bool mayEndProgram() = 0;

    // --- TEDS windows (each throws std::logic_error when the window is no TEDS window) --
    // A TagResult code; why: the reason of a refused value (code 3).
    virtual int updateTAG(shell::NodeWindow& w, const std::string& name, const std::string& index,
                          const std::string& value, bool noValue, std::string& why) = 0;
    virtual bool CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid) = 0;
    // The full TEDS listing of the window's TEDS, one entry per response line.
    virtual std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool prefix) = 0;
    // Writes the window's TEDS into its node; true when written and verified. Otherwise
    // why says why: a value that does not fit (nothing written) or how far it got.
    virtual bool WriteNode_s(shell::NodeWindow& w, std::string& why) = 0;

    // --- The default TEDS window ---------------------------------------------------------
    virtual std::string ActualNodeID() = 0;
    virtual void setActualNodeID(const std::string& id) = 0;
    virtual void setSelectedNodeID(const std::string& id) = 0;
    // Erases the node ActualNodeID names (its family: the engine's request family).
    virtual bool Delete_memory() = 0;
    // The TEDS image the node window holds (the node's memory as last read); nullopt when
    // the window is no TEDS window.
    virtual std::optional<core::TedsBuf> storedTeds(shell::NodeWindow& w) = 0;

    // --- The node-list generator NodeListF (created on first use) -----------------------
    virtual void ClearNodeList() = 0;
    virtual void addNode(const std::string& id) = 0;
    virtual void AddNodes() = 0;
    virtual void ReadNodes() = 0;
    // The generator's id list, in list order.
    virtual std::vector<std::string> nodeListIds() = 0;
    virtual void setAllowROMprg(bool allow) = 0;
    // Writes the list into node id; true when written and verified.
    virtual bool DO_PrgDevice(const std::string& id) = 0;

    // --- The amplifier window PeloxF ------------------------------------------------------
    // Queues the window's scan of the selected channel's network and its Plug && Play
    // set-up (its job ReadChannelTeds).
    virtual void rescanAmplifierChannel() = 0;
    // Selects channel n of the chain's first amplifier; false when there is no such
    // channel or its firmware cannot reach the transducer.
    virtual bool Select_Channel(int n) = 0;
};

} // namespace server
