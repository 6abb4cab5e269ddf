// CPU per steady scan pass (every node known, none added or removed) on simulated networks
// of 10, 100 and 500 nodes: the program's scan (Doscan steps with the shell's node windows,
// the node tree shown in a tree widget, the scan light, Qt's event loop run where the scan
// lets events run, the device layer, the TMEX layer) and the simulated network it searches,
// all in this process on virtual time. Target: linear in the nodes, the pass at 500 nodes
// within 6x of the pass at 100. The device layer and the network alone are shown for
// comparison.

#include "device/drivers/driverstate.h"
#include "core/base/corestate.h"
#include "device/base/devicestate.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"
#include "platform/qt/qtservices.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodetree/nodetreeview.h"
#include "shell/nodes/windowgraveyard.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "shell/nodes/nodehost.h"

#include <QApplication>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Median CPU of runs of f, in milliseconds.
double medianCpu(int runs, const std::function<void()>& f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double t0 = cpuMs();
        f();
        ms.push_back(cpuMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// n nodes: every tenth a 1-kbit EEPROM (its window reads it once, when it is added), every
// twenty-fifth a thermometer (its window hidden: not read), the others ROM-only serial numbers.
std::string network(int n)
{
    std::string text;
    char line[64];
    for (int i = 0; i < n; ++i) {
        const char* family = i % 10 == 3 ? "2D" : i % 25 == 7 ? "10" : "01";
        std::snprintf(line, sizeof line, "node %s:%012X\n", family, 0x10000u + static_cast<unsigned>(i) * 7919u);
        text += line;
    }
    return text;
}

// The main window's part in a step: the scan light.
class Host final : public shell::StandInNodeHost {
public:
    Host() { light.setText("Scanning"); }
    void showScanLight(bool on) override { light.setVisible(on); }
    QLabel light;
};

class Bench {
public:
    Bench()
    {
        widget_.resize(400, 600);
        widget_.show();
        view_.attach(&widget_);
        shell::setNodeHost(&host_);
        shell::installMinimalNodeWindows();
        device::setDriverNodeList(&shell::driverNodeList());
        shell::setCollectScheduler([](int) {});
        auto& q = shell::jobQueue();
        q.reset();
        q.StartJobQue();
        q.isScanning = [] { return true; };
        shell::jobQueue().scanStep = shell::scanOneStep;
    }
    ~Bench()
    {
        shell::jobQueue().reset();
        shell::releaseAllNodes();
        view_.attach(nullptr);
        shell::setNodeHost(nullptr);
        shell::setNodeWindowFactory(nullptr);
        shell::setCollectScheduler(nullptr);
        platform::resetTmex();
    }

    struct Result {
        int nodes = 0;
        double scanMs = 0;    // a Doscan pass
        double searchMs = 0;  // the device layer's search pass alone
    };

    bool run(int n, Result& out)
    {
        platform::resetTmex();
        device::resetDeviceState();
        device::resetOneWireState();
        auto& ds = device::deviceState();
        ds.InterfaceType = device::InterfaceType::Adapter;
        ds.PortNum = 1;
        ds.PortType = 5;
        auto net = std::make_shared<platform::sim::SimNetwork>();
        net->setTranscriptEnabled(false);
        std::string error;
        if (!net->loadDescription(network(n), ".", error)) {
            std::fprintf(stderr, "network: %s\n", error.c_str());
            return false;
        }
        platform::useSimulatedNetwork(net, 5, 1);
        shell::releaseAllNodes();
        shell::resetScanErrors();
        // The first pass adds every node; the steady passes follow.
        shell::scanUntilPassEnds();
        shell::collectDeferred();
        if (static_cast<int>(shell::nodesState().TrList.size()) != n || !box_.shown.empty()) {
            std::fprintf(stderr, "%d nodes: %zu records after the first pass%s%s\n", n, shell::nodesState().TrList.size(),
                         box_.shown.empty() ? "" : ", message: ", box_.shown.empty() ? "" : box_.shown[0].prompt.c_str());
            return false;
        }
        const int runs = n >= 500 ? 7 : n >= 100 ? 15 : 51;
        out.nodes = n;
        out.scanMs = medianCpu(runs, [] { shell::scanUntilPassEnds(); });
        out.searchMs = medianCpu(runs, [] {
            for (bool last = false; !last;) {
                bool found = false;
                std::string id;
                int family = 0;
                if (!device::uLAN_FindNext(found, last, id, family).value_or(false))
                    break;
            }
        });
        if (static_cast<int>(shell::nodesState().TrList.size()) != n) {
            std::fprintf(stderr, "%d nodes: the steady passes changed the list\n", n);
            return false;
        }
        return true;
    }

private:
    platform::VirtualClock clock_;
    platform::ScopedClock scoped_{clock_};
    platform::ScriptedMessageBox box_;
    platform::ScopedMessageBox scopedBox_{box_};
    QTreeWidget widget_;
    shell::NodeTreeView view_;
    Host host_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::setEventPump(platform::qtEventPump());
    core::resetCoreState();
    std::vector<Bench::Result> results;
    {
        Bench bench;
        for (int n : {10, 100, 500}) {
            Bench::Result r;
            if (!bench.run(n, r))
                return 1;
            results.push_back(r);
            std::printf("%-40s %3d nodes  CPU %8.2f ms  (%.3f ms a node; device layer and network alone %.2f ms)\n",
                        "steady scan pass", n, r.scanMs, r.scanMs / n, r.searchMs);
        }
    }
    const double growth = results[2].scanMs / results[1].scanMs;
    const double searchGrowth = results[2].searchMs / results[1].searchMs;
    platform::setEventPump(nullptr);
    const bool ok = growth <= 6.0;
    std::printf("%-40s %.2fx  (device layer and network alone %.2fx; target: linear, within 6x) %s\n",
                "growth of a pass from 100 to 500 nodes", growth, searchGrowth, ok ? "ok" : "TOO SLOW");
    return ok ? 0 : 1;
}
