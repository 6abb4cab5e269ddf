#pragma once
// Module-level state of the interface choice: the communication mode. The chosen
// interface itself (InterfaceType, PortNum, PortType) is in device::deviceState().

namespace shell {

// Communication modes.
inline constexpr int kModePaused = 0;
inline constexpr int kModeScanning = 1;
inline constexpr int kModeAnalog = 2;

struct IfaceState {
    // 0 Paused, 1 Scanning, 2 Analog; written by SetMode only.
    int CommMode = kModePaused;
};

IfaceState& ifaceState();
void resetIfaceState();

} // namespace shell
