#include "shell/nodes/doscan.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "platform/base/clock.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/familytable.h"
#include "shell/mixer/soundmixer.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"

#include <exception>

namespace shell {

std::unique_ptr<ScanBus> makeOneWireScanBus();

namespace {

// How far the node list is from one full pass after a drop of every node.
enum class Refill { No, Dropped, Refilling, Refilled };

struct ScanState {
    bool running = false;
    std::string reportedError;
    ScanBus* bus = nullptr;
    std::unique_ptr<ScanBus> defaultBus;
    // The next step begins a pass (the last search step the scan saw ended one).
    bool searchAtStart = true;
    Refill refill = Refill::No;
    unsigned long refilledInRun = 0;  // the queue's run in which the refill pass ended
};

ScanState& scanState()
{
    static ScanState s;
    return s;
}

void reportScanError(const std::string& what)
{
    auto& st = scanState();
    if (st.reportedError == what) {
        core::Tracewindow("Doscan: " + what);
        return;
    }
    st.reportedError = what;
    core::logTracewindow("Doscan: " + what);
    core::ShowMessage("Error in Sub 'Doscan'\r\n\r\nError: " + what, platform::MsgCritical);
}

// Renews a known node, or adds a new one (with a beep).
void nodeFound(const SearchStep& r, NodeTree::Handle& index)
{
    bool present = false;
    NodeInList(r.id, index, present);
    if (present) {
        if (TrRecord* rec = record(recordIndexOfNode(index)))
            rec->lives = nodesState().LivesInit;
        return;
    }
    New_Transducer("New node", r.id, r.family, index);
    nodeHost().beep();
}

// Ages the records at a pass end, then removes the first one out of lives.
bool nothingFound(bool passEnd)
{
    auto& list = nodesState().TrList;
    if (passEnd)
        for (TrRecord& rec : list)
            if (rec.lives > 0 && rec.aging)
                --rec.lives;
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (list[k].lives != 0)
            continue;
        Remove_transducer(list[k].id);
        nodeHost().beep();
        return true;
    }
    return false;
}

void readThermometer(NodeTree::Handle index)
{
    const int k = recordIndexOfNode(index);
    TrRecord* rec = record(k);
    if (!rec || !rec->aging || !rec->obj || familyKind(rec->family) != FamilyKind::Thermometer || !rec->obj->Visible())
        return;
    NodeWindow* w = rec->obj.get();
    jobQueue().allFormsHourglass(true);
    const auto t = scanBus().readTemperature(k);
    const TrRecord* again = record(k);
    if (t && again && again->obj.get() == w)
        w->showTemperature(t->celsius, t->fahrenheit);
}

// Follows the search pass by pass, before the step's list work.
void followSearch(const SearchStep& r)
{
    auto& st = scanState();
    if (!r.ok)
        return;  // no search ran (adapter), or nothing was found (amplifier link)
    if (st.searchAtStart && st.refill == Refill::Dropped)
        st.refill = Refill::Refilling;
    if (r.found) {
        st.searchAtStart = false;
    } else if (r.last) {
        st.searchAtStart = true;
        if (st.refill == Refill::Refilling) {
            st.refill = Refill::Refilled;
            st.refilledInRun = jobQueue().runNumber();
        }
    } else {
        // The search broke off: where the next step starts is not known.
        st.searchAtStart = false;
        if (st.refill == Refill::Refilling)
            st.refill = Refill::No;
    }
}

void stepFailed()
{
    auto& st = scanState();
    if (st.refill == Refill::Refilling)
        st.refill = Refill::No;
}

void pollMixer()
{
    int volume = nodeHost().volumeValue();
    bool mute = nodeHost().muteChecked();
    SoundMixer().getMixer(volume, mute);
}

} // namespace

void setScanBus(ScanBus* bus) { scanState().bus = bus; }

ScanBus& scanBus()
{
    auto& st = scanState();
    if (st.bus)
        return *st.bus;
    if (!st.defaultBus)
        st.defaultBus = makeOneWireScanBus();
    return *st.defaultBus;
}

bool scanRunning() { return scanState().running; }

void resetScanErrors() { scanState().reportedError.clear(); }

bool nodeListRefilled()
{
    const auto& st = scanState();
    const auto& q = jobQueue();
    return st.refill == Refill::Refilled && q.ticking() && st.refilledInRun == q.runNumber();
}

void scanUnlessRefilled()
{
    if (!nodeListRefilled())
        scanUntilPassEnds();
}

void noteAllNodesDropped()
{
    if (TrLast() < 0)
        scanState().refill = Refill::Dropped;
}

void noteRecordRemoved() { scanState().refill = Refill::No; }

void resetScanState()
{
    auto& st = scanState();
    st.reportedError.clear();
    st.searchAtStart = true;
    st.refill = Refill::No;
}

void Doscan(bool& more)
{
    more = false;
    auto& q = jobQueue();
    auto& st = scanState();
    if (!q.JobsEnabled() || st.running)
        return;
    st.running = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{st.running};

    NodeHost& host = nodeHost();
    const bool hs = q.HourGlass();
    if (device::deviceState().InterfaceType == device::InterfaceType::AmplifierLink)
        q.allFormsHourglass(true);
    host.showScanLight(true);
    platform::processEvents();
    try {
        const SearchStep r = scanBus().findNext();
        followSearch(r);
        bool removed = false;
        NodeTree::Handle index = NodeTree::None;
        if (r.ok) {
            platform::processEvents();
            if (r.found)
                nodeFound(r, index);
            else
                removed = nothingFound(r.last);
        }
        if (r.found && r.ok)
            readThermometer(index);
        pollMixer();
        ConcatTransducers();
        host.showScanLight(false);
        platform::processEvents();
        if (!hs)
            q.allFormsHourglass(false);
        more = (r.found && r.ok) || removed;
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const NodeListChanged& e) {
        // The nodes were dropped meanwhile (F5, an interface change): the next pass adds them.
        more = false;
        stepFailed();
        core::Tracewindow(std::string("Doscan: ") + e.what());
    } catch (const std::exception& e) {
        more = false;
        stepFailed();
        reportScanError(e.what());
    } catch (...) {
        more = false;
        stepFailed();
        reportScanError("unknown error");
    }
}

void scanUntilPassEnds()
{
    for (int step = 0; step < JobQueue::kMaxScanSteps; ++step) {
        bool more = false;
        Doscan(more);
        if (!more)
            break;
    }
}

bool scanOneStep()
{
    bool more = false;
    Doscan(more);
    return more;
}

} // namespace shell
