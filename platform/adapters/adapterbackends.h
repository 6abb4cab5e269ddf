#pragma once
// The real adapters behind the 1-Wire calls: port type 1 (passive serial) and 5
// (DS2480B) on Com1..Com4 (the device files of platform/serial/comports.h), port type 6
// (DS2490 over USB) on ports 1..4 (the first, second, ... DS2490 found).

#include "platform/onewire/scopedbackend.h"

#include <vector>

namespace platform {

inline constexpr int kPassiveSerialPortType = 1;
inline constexpr int kDs2480bPortType = 5;
inline constexpr int kDs2490PortType = 6;

// A backend for every port of the three port types, for the program to register.
std::vector<PortBackend> adapterBackends();

} // namespace platform
