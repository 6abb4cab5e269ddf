#pragma once
// What the node list, the node tree and the scan call on every node window. Each kind
// of node window (TEDS, switch, thermometer, unsupported) implements the members it has;
// the others keep the defaults.

#include "shell/jobs/jobtarget.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace shell {

class NodeWindow : public JobTarget {
public:
    // Binds the window to TrList(index) and fills it.
    virtual void Inititiate(int index) = 0;
    // Memory windows: binds, reads the node and reports the memory in state (1 not
    // assigned, 2 CRC error, 3 TEDS, 4 node list; other cases leave it as passed).
    // Other windows ignore state.
    virtual void Inititiate(int index, std::int32_t& state) { Inititiate(index); }
    // Shows the window.
    virtual void reqShow() = 0;
    virtual bool Visible() const = 0;

    // TEDS window: the shown TEDS's title.
    virtual std::string Title() const { return {}; }
    // TEDS window: fills the node list's Node_list with the ids its node-list memory names.
    virtual void MakeNodeListfrombuf() {}
    // Unsupported-node window: caption of its family label.
    virtual void setFamilyCodeLabel(const std::string& caption) {}
    // Thermometer window: a new reading.
    virtual void showTemperature(double celsius, double fahrenheit) {}
    // TEDS window: the raw memory view. Other windows lack it (std::logic_error).
    virtual void ShowUnknownTemplate() { throw std::logic_error(name() + " has no ShowUnknownTemplate"); }
    // TEDS window: lets the user create an empty TEDS for the node named by idText
    // (a tree key "id" & node id, or a node id) and keeps obj as its node's window.
    // Other windows lack it (std::logic_error).
    virtual void CreateNewTEDS(NodeWindow& obj, const std::string& idText)
    {
        throw std::logic_error(name() + " has no CreateNewTEDS");
    }

    // The window's record is gone: hide it; its queued jobs are dropped from now on.
    // The window itself is destroyed later, when none of its members can be running.
    void Unload()
    {
        if (unloaded_)
            return;
        unloaded_ = true;
        detachFromQueue();
        onUnload();
    }
    bool unloaded() const { return unloaded_; }

    // Held by a member of the window that lets events run outside a job (a wait, a
    // message box): a removed window is not destroyed before that member returns.
    class MemberScope {
    public:
        explicit MemberScope(NodeWindow& w) : w_(w) { ++w_.running_; }
        ~MemberScope() { --w_.running_; }
        MemberScope(const MemberScope&) = delete;
        MemberScope& operator=(const MemberScope&) = delete;

    private:
        NodeWindow& w_;
    };
    bool memberRunning() const { return running_ > 0; }

protected:
    virtual void onUnload() {}

private:
    bool unloaded_ = false;
    int running_ = 0;
};

} // namespace shell
