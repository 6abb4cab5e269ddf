#pragma once
// What the node list and the scan need from the main window: the driver items that
// decide whether an id chip is the adapter's, the scan light, the beep and the sound
// controls for the mixer poll. The main window implements it and registers once;
// until then a stand-in shows nothing, counts no DS9490R driver item as checked and
// asks the device layer's window for the DS9097U item.

namespace shell {

class NodeHost {
public:
    virtual ~NodeHost() = default;
    // Driver item "Dallas DS9097U" is checked.
    virtual bool ds9097uDriverChecked() = 0;
    // Driver item "Dallas DS9490R" is checked.
    virtual bool ds9490rDriverChecked() = 0;
    // The main window's ScanLight.
    virtual void showScanLight(bool on) = 0;
    // The system beep.
    virtual void beep() = 0;
    // Value of VolScroll and of Vol_mute (checked), read for the mixer poll.
    virtual int volumeValue() = 0;
    virtual bool muteChecked() = 0;
};

// What answers until the main window registers (tests derive their hosts from it and
// override what they watch).
class StandInNodeHost : public NodeHost {
public:
    bool ds9097uDriverChecked() override;
    bool ds9490rDriverChecked() override { return false; }
    void showScanLight(bool) override {}
    void beep() override {}
    int volumeValue() override { return 0; }
    bool muteChecked() override { return false; }
};

// nullptr restores the stand-in. The caller keeps ownership.
void setNodeHost(NodeHost* host);
NodeHost& nodeHost();

} // namespace shell
