#include "shell/iface/neighbourwindows.h"

#include "device/amplink/peloxtransport.h"

namespace shell {

namespace {

class NoAmplifierWindow final : public AmplifierWindow {
public:
    void show() override {}
    void unload() override {}
    void Wakeup_Pelox() override { device::Pelox_Send("MLAN OFF"); }
    void setTsens(double, const std::string&) override {}
    void TsensToPelox(bool) override {}
};

class NoRequestServerWindow final : public RequestServerWindow {
public:
    void show() override {}
    void unload() override {}
};

NoAmplifierWindow noAmplifier;
AmplifierWindow* amplifier = nullptr;
NoRequestServerWindow noServer;
RequestServerWindow* server = nullptr;

} // namespace

void setAmplifierWindow(AmplifierWindow* w) { amplifier = w; }
AmplifierWindow& amplifierWindow() { return amplifier ? *amplifier : noAmplifier; }
void setRequestServerWindow(RequestServerWindow* w) { server = w; }
RequestServerWindow& requestServerWindow() { return server ? *server : noServer; }

} // namespace shell
