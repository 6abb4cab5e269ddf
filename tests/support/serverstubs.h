#pragma once
// Stand-ins for what the request engine calls: a program that has no windows (every
// ServerHost member does nothing, a TEDS-window member throws as for a window of
// another kind) and a window that shows nothing. A test derives from them and overrides
// what it looks at; the program's own implementation (app/) has no such defaults.

#include "server/engine/serverhost.h"
#include "server/engine/serverview.h"

#include <stdexcept>

namespace testing_support {

class InertServerHost : public server::ServerHost {
public:
    bool mainWindowVisible() override { return true; }
    void setMainWindowVisible(bool) override {}
    bool amplifierLinkChosen() override { return false; }
    void postMainJob(shell::MainJob, int) override {}
    void endProgram() override {}
    bool mayEndProgram() override { return true; }
    int updateTAG(shell::NodeWindow&, const std::string&, const std::string&, const std::string&, bool,
                  std::string&) override
    {
        throw std::logic_error("no TEDS window");
    }
    bool CreateNewTEDS_force(shell::NodeWindow&, const core::Currency&) override
    {
        throw std::logic_error("no TEDS window");
    }
    std::vector<std::string> appendFullTEDS(shell::NodeWindow&, bool) override
    {
        throw std::logic_error("no TEDS window");
    }
    bool WriteNode_s(shell::NodeWindow&, std::string&) override { throw std::logic_error("no TEDS window"); }
    std::string ActualNodeID() override { return {}; }
    void setActualNodeID(const std::string&) override {}
    void setSelectedNodeID(const std::string&) override {}
    bool Delete_memory() override { return false; }
    std::optional<core::TedsBuf> storedTeds(shell::NodeWindow&) override { return std::nullopt; }
    void ClearNodeList() override {}
    void addNode(const std::string&) override {}
    void AddNodes() override {}
    void ReadNodes() override {}
    std::vector<std::string> nodeListIds() override { return {}; }
    void setAllowROMprg(bool) override {}
    bool DO_PrgDevice(const std::string&) override { return false; }
    void rescanAmplifierChannel() override {}
    bool Select_Channel(int) override { return false; }
};

class InertServerView : public server::ServerView {
public:
    void pollTimerChanged(bool, int) override {}
    void logAppended(const std::string&) override {}
    void logCleared() override {}
    void takeFocus() override {}
    void ownMessage(const std::string&) override {}
};

} // namespace testing_support
