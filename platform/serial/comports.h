#pragma once
// Which device file a port number ("Com1" = 1 ...) opens.
//
// Rule, first match wins:
//   1. the environment variable TEDSMITH_COM<n> (e.g. TEDSMITH_COM1=/dev/pts/5),
//   2. /dev/ttyUSB<n-1> when that device exists (USB serial adapters),
//   3. /dev/ttyS<n-1> (the built-in ports).

#include <string>

namespace platform {

std::string commPortDevice(int n);

} // namespace platform
