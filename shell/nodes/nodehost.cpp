#include "shell/nodes/nodehost.h"

#include "device/onewire/onewirewindow.h"

namespace shell {

namespace {

class StandInHost final : public NodeHost {
public:
    bool ds9097uDriverChecked() override { return device::oneWireWindow().ds9097uDriverChecked(); }
    bool ds9490rDriverChecked() override { return false; }
    void showScanLight(bool) override {}
    void beep() override {}
    int volumeValue() override { return 0; }
    bool muteChecked() override { return false; }
};

StandInHost g_default;
NodeHost* g_host = nullptr;

} // namespace

void setNodeHost(NodeHost* host) { g_host = host; }

NodeHost& nodeHost() { return g_host ? *g_host : g_default; }

} // namespace shell
