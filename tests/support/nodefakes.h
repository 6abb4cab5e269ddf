#pragma once
// Stand-ins for the node list's neighbours: node windows that report scripted memory
// states, a factory that makes them, a host that counts beeps, and a scripted network
// for the scan.

#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/nodewindowfactory.h"
#include "shell/nodes/windowgraveyard.h"
#include "shell/state/shelllayer.h"
#include "tests/support/freshstate.h"
#include "shell/nodes/nodehost.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace nodetest {

// What a memory node holds, as its TEDS window would report it.
struct Memory {
    std::int32_t state = 1;
    int selector = -1;
    std::string title;
    std::vector<std::string> nodeList;  // ids its node list names
};

struct Counters {
    int created = 0;
    int destroyed = 0;
    int jobs = 0;
    std::vector<std::string> log;
};

class FakeWindow final : public shell::NodeWindow {
public:
    FakeWindow(std::string kind, Counters& c, const std::map<std::string, Memory>& memories)
        : kind_(std::move(kind)), c_(c), memories_(memories)
    {
        ++c_.created;
    }
    ~FakeWindow() override { ++c_.destroyed; }

    using shell::NodeWindow::Inititiate;
    void Inititiate(int index) override
    {
        const shell::TrRecord* r = shell::record(index);
        if (!r)
            throw std::out_of_range("no record");
        id = r->id;
        c_.log.push_back(kind_ + " Inititiate " + std::to_string(index));
        if (throwOnInit)
            throw std::runtime_error("window failed");
    }
    void Inititiate(int index, std::int32_t& state) override
    {
        Inititiate(index);
        if (duringRead)
            duringRead();
        auto it = memories_.find(id);
        if (it == memories_.end())
            return;
        if (it->second.selector != -1)
            shell::record(index)->selector = it->second.selector;
        title = it->second.title;
        state = it->second.state;
    }
    void reqShow() override { visible = true; }
    bool Visible() const override { return visible; }
    std::string Title() const override { return title; }
    void MakeNodeListfrombuf() override
    {
        ++nodeListReads;
        auto it = memories_.find(id);
        shell::nodesState().Node_list = it == memories_.end() ? std::vector<std::string>{} : it->second.nodeList;
    }
    void setFamilyCodeLabel(const std::string& caption) override { familyLabel = caption; }
    void showTemperature(double celsius, double fahrenheit) override
    {
        ++readings;
        lastCelsius = celsius;
    }
    void DoJob() override { ++c_.jobs; }
    std::string name() const override { return kind_; }

    std::string kind_;
    std::string id;
    std::string title;
    std::string familyLabel;
    bool visible = false;
    bool throwOnInit = false;
    std::function<void()> duringRead;  // runs while the memory is read (events may run there)
    int nodeListReads = 0;
    int readings = 0;
    double lastCelsius = 0;

protected:
    void onUnload() override { visible = false; }

private:
    Counters& c_;
    const std::map<std::string, Memory>& memories_;
};

class FakeFactory final : public shell::NodeWindowFactory {
public:
    std::unique_ptr<shell::NodeWindow> NewTemperatureF() override { return make("TemperatureF"); }
    std::unique_ptr<shell::NodeWindow> NewSwitchF() override { return make("SwitchF"); }
    std::unique_ptr<shell::NodeWindow> NewTedsF() override { return make("TedsF"); }
    std::unique_ptr<shell::NodeWindow> NewNotSupportedF() override { return make("Not_SupportedF"); }
    shell::NodeWindow* SharedTedsF() override { return nullptr; }

    std::unique_ptr<shell::NodeWindow> make(const std::string& kind)
    {
        if (failKind == kind)
            throw std::runtime_error("cannot create " + kind);
        auto w = std::make_unique<FakeWindow>(kind, counters, memories);
        w->throwOnInit = throwInitKind == kind;
        if (kind == "TedsF")
            w->duringRead = duringRead;
        return w;
    }

    Counters counters;
    std::map<std::string, Memory> memories;
    std::string failKind;
    std::string throwInitKind;
    std::function<void()> duringRead;
};

class FakeHost final : public shell::StandInNodeHost {
public:
    bool ds9097uDriverChecked() override { return ds9097u; }
    bool ds9490rDriverChecked() override { return ds9490r; }
    void showScanLight(bool on) override { light.push_back(on); }
    void beep() override { ++beeps; }

    bool ds9097u = false;
    bool ds9490r = false;
    int beeps = 0;
    std::vector<bool> light;
};

// A network the scan searches in a fixed order: each pass finds every node present,
// then one step reports the end of the search.
class FakeBus final : public shell::ScanBus {
public:
    shell::SearchStep findNext() override
    {
        ++steps;
        if (throwText.size())
            throw std::runtime_error(throwText);
        shell::SearchStep r;
        if (sessionFails)
            return r;
        if (pos < nodes.size()) {
            r.ok = true;
            r.found = true;
            r.id = nodes[pos].first;
            r.family = nodes[pos].second;
            ++pos;
        } else {
            pos = 0;
            // Through the amplifier a step that finds nothing reports no session.
            r.ok = !amplifier;
            r.last = true;
        }
        return r;
    }
    std::optional<shell::TemperatureReading> readTemperature(int recordIndex) override
    {
        ++temperatureReads;
        return shell::TemperatureReading{21.5, 70.7};
    }

    void plug(const std::string& id, int family) { nodes.emplace_back(id, family); }
    void unplug(const std::string& id)
    {
        std::erase_if(nodes, [&](const auto& n) { return n.first == id; });
        pos = 0;
    }

    std::vector<std::pair<std::string, int>> nodes;
    std::size_t pos = 0;
    int steps = 0;
    int temperatureReads = 0;
    bool sessionFails = false;
    bool amplifier = false;
    std::string throwText;
};

// Node ids as the search delivers them: 16 hex digits ending in the family code.
inline std::string nodeId(int family, int serial)
{
    char buf[17];
    std::snprintf(buf, sizeof buf, "%02X%012X%02X", (serial * 37) & 0xFF, serial, family & 0xFF);
    return buf;
}

class NodesFixture : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    NodesFixture()
    {
        device::deviceState().InterfaceType = device::InterfaceType::Adapter;
        shell::jobQueue().StartJobQue();
    }
    ~NodesFixture() override
    {
        // The node windows go while the factory and the hooks are still there.
        shell::resetNodesState();
        shell::collectDeferred();
    }

    shell::NodeTree& tree() { return shell::nodesState().tree; }
    std::vector<shell::TrRecord>& list() { return shell::nodesState().TrList; }

    shell::NodeTree::Handle add(const std::string& id, int family)
    {
        shell::NodeTree::Handle index = 0;
        shell::New_Transducer("New node", id, family, index);
        return index;
    }

    shell::NodeTree::Handle idNode(const std::string& id) { return tree().findKey("id" + id); }
    shell::NodeTree::Handle topOf(const std::string& id) { return tree().parent(idNode(id)); }
    std::string text(shell::NodeTree::Handle h) { return tree().node(h).text; }
    std::string tag(shell::NodeTree::Handle h) { return tree().node(h).tag; }
    std::vector<std::string> childTexts(shell::NodeTree::Handle h)
    {
        std::vector<std::string> out;
        for (auto c : tree().children(h))
            out.push_back(text(c));
        return out;
    }
    FakeWindow* window(int k) { return static_cast<FakeWindow*>(list().at(k).obj.get()); }

    // Scan steps as the job tick runs them: until a step reports nothing more to do.
    int tickScan()
    {
        int steps = 0;
        bool more = true;
        while (more && steps < 1000) {
            shell::Doscan(more);
            ++steps;
        }
        return steps;
    }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    FakeFactory factory;
    FakeHost host;
    FakeBus bus;
    app::NodeWiring wiring{{.windows = &factory, .host = &host, .driverNodes = nullptr, .scanBus = &bus, .collect = [](int) {}}};
};

} // namespace nodetest
