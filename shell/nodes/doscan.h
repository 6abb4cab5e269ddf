#pragma once
// The node scan: one search step at a time brings the node list and the node tree in
// line with the network. New nodes are added with a beep, a node missed in three
// consecutive passes is removed with a beep at the end of the third, a visible
// thermometer is read, the mixer is polled and node-list transducers are grouped.

#include <optional>
#include <string>

namespace shell {

// What one step of the node search reports.
struct SearchStep {
    bool ok = false;     // adapter: the session was opened; amplifier link: a node was found
    bool found = false;  // a node was found
    bool last = false;   // the search has reached its end: this step ends the pass
    std::string id;      // the node id, 16 hex digits
    int family = 0;
};

struct TemperatureReading {
    double celsius = 0;
    double fahrenheit = 0;
};

// The bus as the scan sees it. The default goes through device access.
class ScanBus {
public:
    virtual ~ScanBus() = default;
    virtual SearchStep findNext() = 0;
    // Converts and reads the thermometer of record index; nothing when the read failed.
    virtual std::optional<TemperatureReading> readTemperature(int recordIndex) = 0;
};

// nullptr restores the 1-Wire bus. The caller keeps ownership.
void setScanBus(ScanBus* bus);
ScanBus& scanBus();

// One search step. more := true when the caller is to call it again: a node was found
// or a record was removed. A pass thus ends with the first step that does neither.
void Doscan(bool& more);
// Steps until the pass has ended, at most JobQueue::kMaxScanSteps of them.
void scanUntilPassEnds();
// A step is running.
bool scanRunning();
// One step of Doscan for the job queue's tick: true while the pass goes on.
bool scanOneStep();

// An error that recurs in every step is reported once; this forgets what was reported.
void resetScanErrors();

// The node list as one full search pass after a drop of every node left it: in the
// queue's running tick or run of posted jobs, a pass that began on the emptied list has
// ended, and no record has gone since. What the scan knows of the search comes from the
// steps it ran; anything it cannot vouch for (a step that failed mid-pass, an error in a
// step) counts as not refilled.
bool nodeListRefilled();
// Main-window job 6, the scan a request queues behind its job 1: a pass until it ends,
// unless the list is refilled already (job 1 has just done that pass).
void scanUnlessRefilled();
// The node list's side: every record was just dropped / a record went.
void noteAllNodesDropped();
void noteRecordRemoved();
// The search is known to start afresh (the 1-Wire state was reset) and nothing is
// refilled; errors are forgotten too (tests).
void resetScanState();

} // namespace shell
