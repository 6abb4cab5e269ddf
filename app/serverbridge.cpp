#include "app/serverbridge.h"

#include "amplifier/peloxf/peloxf.h"
#include "app/amplifierwindowhost.h"

#include "core/base/message.h"
#include "editor/nodelist/nodelistmodel.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/tedsf.h"
#include "shell/jobs/jobqueue.h"
#include "shell/mainwindow/mainf.h"

#include <stdexcept>

namespace app {

namespace {

// The TEDS window behind a node window; a window of another kind lacks the member.
editor::TedsF& teds(shell::NodeWindow& w, const char* member)
{
    auto* t = dynamic_cast<editor::TedsF*>(&w);
    if (!t)
        throw std::logic_error(w.name() + " has no " + member);
    return *t;
}

// The node-list generator, created and loaded on first use.
editor::NodeListModel& generator()
{
    auto* g = editor::nodeListF();
    if (!g)
        throw std::logic_error("no node-list generator");
    return *g;
}

} // namespace

ServerBridge::ServerBridge(std::function<shell::MainF*()> main, editor::EditorNodeWindowFactory& windows,
                           AmplifierWindowHost& amplifier)
    : main_(std::move(main)), windows_(windows), amplifier_(amplifier),
      window_(std::make_unique<server::T_server>(*this, platform::messageBox())),
      // The window's own messages go to the box this one is put in front of.
      box_(std::make_unique<server::SuppressingMessageBox>(platform::messageBox(), window_->engine)),
      boxHook_(&platform::setMessageBox, box_.get(), &box_->inner()),
      suppressorHook_(&core::setMessageSuppressor, &window_->engine),
      serverWindowHook_(&shell::setRequestServerWindow, this)
{
}

ServerBridge::~ServerBridge() = default;

void ServerBridge::show() { window_->showServer(); }

void ServerBridge::unload() { window_->unloadServer(); }

bool ServerBridge::mainWindowVisible()
{
    auto* m = main_();
    return m && m->isVisible();
}

void ServerBridge::setMainWindowVisible(bool visible)
{
    if (auto* m = main_())
        m->setVisible(visible);
}

bool ServerBridge::amplifierLinkChosen()
{
    auto* m = main_();
    return m && m->iface().menu.mnuIF_p_Driver[1].checked;
}

void ServerBridge::postMainJob(shell::MainJob job, int param)
{
    if (auto* m = main_())
        shell::jobQueue().Insert_In_JobQue(*m, job, static_cast<long long>(param));
}

void ServerBridge::rescanAmplifierChannel()
{
    if (auto* w = amplifier_.window())
        shell::jobQueue().Insert_In_JobQue(w->model(), amplifier::ReadChannelTeds, 0LL);
}

bool ServerBridge::mayEndProgram() { return windows_.mayEndProgram(); }

void ServerBridge::endProgram()
{
    // Inside a job the tick ends the program once the job has unwound.
    if (shell::jobQueue().ticking())
        throw core::ProgramEnd{0};
    if (auto* m = main_())
        m->EndProgram(0);
}

int ServerBridge::updateTAG(shell::NodeWindow& w, const std::string& name, const std::string& index,
                            const std::string& value, bool noValue, std::string& why)
{
    auto& t = teds(w, "updateTAG");
    const int code = t.doc.updateTAG(name, index, value, noValue, &why);
    t.syncDocument();
    return code;
}

bool ServerBridge::CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid)
{
    auto& t = teds(w, "CreateNewTEDS_force");
    const bool ok = t.doc.CreateNewTEDS_force(utid);
    t.syncDocument();
    return ok;
}

std::vector<std::string> ServerBridge::appendFullTEDS(shell::NodeWindow& w, bool prefix)
{
    return teds(w, "appendFullTEDS").appendFullTEDS(prefix);
}

bool ServerBridge::WriteNode_s(shell::NodeWindow& w, std::string& why)
{
    return teds(w, "WriteNode_s").WriteNode_s(&why);
}

std::string ServerBridge::ActualNodeID() { return windows_.shared().ActualNodeID; }

void ServerBridge::setActualNodeID(const std::string& id) { windows_.shared().ActualNodeID = id; }

void ServerBridge::setSelectedNodeID(const std::string& id) { windows_.shared().SelectedNodeID = id; }

bool ServerBridge::Delete_memory() { return windows_.shared().Delete_memory(); }

std::optional<core::TedsBuf> ServerBridge::storedTeds(shell::NodeWindow& w)
{
    if (auto* t = dynamic_cast<editor::TedsF*>(&w))
        return t->doc.TedsBuf;
    return std::nullopt;
}

void ServerBridge::ClearNodeList() { generator().ClearNodeList(); }

void ServerBridge::addNode(const std::string& id) { generator().addNode(id); }

void ServerBridge::AddNodes() { generator().AddNodes(); }

void ServerBridge::ReadNodes() { generator().ReadNodes(); }

std::vector<std::string> ServerBridge::nodeListIds() { return generator().ID_list; }

void ServerBridge::setAllowROMprg(bool allow) { generator().allowROMprg = allow; }

bool ServerBridge::DO_PrgDevice(const std::string& id) { return generator().DO_PrgDevice(id); }

bool ServerBridge::Select_Channel(int n)
{
    auto* w = amplifier_.window();
    return w && w->model().Select_Channel(n);
}

} // namespace app
