#pragma once
// The windows of later layers that the main window shows, hides or calls: the
// amplifier window and the request server window. Each registers itself once;
// until then a stand-in answers (the amplifier's only sends "MLAN OFF").

#include <string>

namespace shell {

// The amplifier window PeloxF.
class AmplifierWindow {
public:
    virtual ~AmplifierWindow() = default;
    // Shown without a modal state.
    virtual void show() = 0;
    // Unloaded and released.
    virtual void unload() = 0;
    // Sends "MLAN OFF" to the amplifier.
    virtual void Wakeup_Pelox() = 0;
    // Keeps a transducer sensitivity (value and unit) as the window's TEDS sensitivity.
    virtual void setTsens(double value, const std::string& unit) = 0;
    // Sends the kept sensitivity to the selected channel (unless the window's mode is
    // manual and force is false).
    virtual void TsensToPelox(bool force) = 0;
};

// The request server window T_server.
class RequestServerWindow {
public:
    virtual ~RequestServerWindow() = default;
    // Shown without a modal state.
    virtual void show() = 0;
    // Unloaded; its unload saves its settings.
    virtual void unload() = 0;
};

// nullptr restores the stand-in. The caller keeps ownership.
void setAmplifierWindow(AmplifierWindow* w);
AmplifierWindow& amplifierWindow();
void setRequestServerWindow(RequestServerWindow* w);
RequestServerWindow& requestServerWindow();

} // namespace shell
