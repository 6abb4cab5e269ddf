#include "device/onewire/onewirewindow.h"

namespace device {

namespace {
OneWireWindow noWindow;
OneWireWindow* current = nullptr;
}

void setOneWireWindow(OneWireWindow* window) { current = window; }
OneWireWindow& oneWireWindow() { return current ? *current : noWindow; }

} // namespace device
