#pragma once
// The windows of later layers that the main window shows, hides or calls: the
// amplifier window and the request server window. Each registers itself once;
// until then a do-nothing stand-in answers.

#include <string>

namespace shell {

// The amplifier window PeloxF.
class AmplifierWindow {
public:
    virtual ~AmplifierWindow() = default;
    // Shown without a modal state.
    virtual void show() {}
    // Unloaded and released.
    virtual void unload() {}
    // Sends "MLAN OFF" to the amplifier.
    virtual void Wakeup_Pelox();
    // Keeps a transducer sensitivity (value and unit) as the window's TEDS sensitivity.
    virtual void setTsens(double value, const std::string& unit) {}
    // Sends the kept sensitivity to the selected channel (unless the window's mode is
    // manual and force is false).
    virtual void TsensToPelox(bool force) {}
};

// The request server window T_server.
class RequestServerWindow {
public:
    virtual ~RequestServerWindow() = default;
    // Shown without a modal state.
    virtual void show() {}
    // Unloaded; its unload saves its settings.
    virtual void unload() {}
};

// nullptr restores the stand-in. The caller keeps ownership.
void setAmplifierWindow(AmplifierWindow* w);
AmplifierWindow& amplifierWindow();
void setRequestServerWindow(RequestServerWindow* w);
RequestServerWindow& requestServerWindow();

} // namespace shell
