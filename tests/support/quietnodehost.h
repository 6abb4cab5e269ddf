#pragma once
// A node host that shows nothing and counts no driver item but what the device layer's
// window says of the DS9097U, as the program has before the main window registers: a
// test's host overrides what it watches. Header only.

#include "device/onewire/onewirewindow.h"
#include "shell/nodes/nodehost.h"

namespace testing_support {

class QuietNodeHost : public shell::NodeHost {
public:
    bool ds9097uDriverChecked() override { return device::oneWireWindow().ds9097uDriverChecked(); }
    bool ds9490rDriverChecked() override { return false; }
    void showScanLight(bool) override {}
    void beep() override {}
    int volumeValue() override { return 0; }
    bool muteChecked() override { return false; }
};

} // namespace testing_support
