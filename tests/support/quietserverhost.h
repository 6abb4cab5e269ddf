#pragma once
// The program around the request engine as a test without windows has it: every
// ServerHost member does nothing (the main window shown, no amplifier link, the program
// may end), a TEDS-window member throws as for a window of another kind. A test's host
// overrides what it watches; the program's own implementation (app/) has no defaults.
// Header only.

#include "server/engine/serverhost.h"

#include <stdexcept>

namespace testing_support {

class QuietServerHost : public server::ServerHost {
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

} // namespace testing_support
