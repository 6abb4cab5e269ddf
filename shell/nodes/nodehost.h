#pragma once
// What the node list and the scan need from the main window: the driver items that
// decide whether an id chip is the adapter's, the scan light, the beep and the sound
// controls for the mixer poll. The main window implements it and registers once;
// without one nothing is shown and no driver item counts as checked.

namespace shell {

class NodeHost {
public:
    virtual ~NodeHost() = default;
    // Driver item "Dallas DS9097U" is checked.
    virtual bool ds9097uDriverChecked();
    // Driver item "Dallas DS9490R" is checked.
    virtual bool ds9490rDriverChecked() { return false; }
    // The main window's ScanLight.
    virtual void showScanLight(bool on) {}
    // The system beep.
    virtual void beep() {}
    // Value of VolScroll and of Vol_mute (checked), read for the mixer poll.
    virtual int volumeValue() { return 0; }
    virtual bool muteChecked() { return false; }
};

// nullptr restores the do-nothing host. The caller keeps ownership.
void setNodeHost(NodeHost* host);
NodeHost& nodeHost();

} // namespace shell
