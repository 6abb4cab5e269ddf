#pragma once
// Module-level state of device access: the chosen interface, the 1-Wire session,
// the amplifier selection that the amplifier window sets and the transport reads.

#include <string>

namespace device {

// The interface the program reaches its nodes through. The numbers are what the Setup
// menu's tag and the main window's job carry.
enum class InterfaceType : int {
    None = -1,
    Adapter = 0,
    AmplifierLink = 1,
};

struct DeviceState {
    device::InterfaceType InterfaceType = device::InterfaceType::None;
    int PortNum = -1;   // serial port / adapter port number, none yet
    int PortType = -1;  // adapter port type, none yet
    bool SetupDone = false;
    int SessionError = 0;
    // The adapter's 1-Wire line is shorted: the text the user was told ("" while the
    // bus works). Reported once until a search finds the bus working again.
    std::string BusFault;
    // The adapter could not be reached at the last session start: why ("" once a session
    // opens again). Told once per activation (SessionError), kept for whoever asks.
    std::string AdapterFault;
    // Amplifier link (set by the amplifier window).
    int SelectedAmplifier = 0;  // chain address; below 1 means none
    int SelectedChannel = 0;    // 1..16
    int AmplifierCount = 0;
    bool AmpAddressing = true;  // true: multi-drop by ROM id; false: single node (Skip ROM)
    bool SingleNodeToggle = false;
    bool ErrAfterSend = false;  // Debug > "Read Err? after send"
    bool PeloxTestOpen = false;
    bool AppRomLocked = false;  // last DS2430A read found its application register locked
};

DeviceState& deviceState();
void resetDeviceState();

} // namespace device
