#include "shell/iface/neighbourwindows.h"

#include "device/amplink/peloxtransport.h"

namespace shell {

namespace {
AmplifierWindow noAmplifier;
AmplifierWindow* amplifier = nullptr;
RequestServerWindow noServer;
RequestServerWindow* server = nullptr;
} // namespace

void AmplifierWindow::Wakeup_Pelox() { device::Pelox_Send("MLAN OFF"); }

void setAmplifierWindow(AmplifierWindow* w) { amplifier = w; }
AmplifierWindow& amplifierWindow() { return amplifier ? *amplifier : noAmplifier; }
void setRequestServerWindow(RequestServerWindow* w) { server = w; }
RequestServerWindow& requestServerWindow() { return server ? *server : noServer; }

} // namespace shell
