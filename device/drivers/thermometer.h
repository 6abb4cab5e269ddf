#pragma once
// Family 10h thermometer: one conversion and the read of its scratchpad.

#include <array>
#include <cstdint>
#include <string>

namespace device {

using Scratchpad = std::array<std::uint8_t, 9>;

struct TemperatureReading {
    bool ok = false;  // false: nothing usable was read; the window keeps its last values
    double celsius = 0;
    double fahrenheit = 0;
    Scratchpad scratchpad{};
};

// The scratchpad's CRC8 (byte 8 over bytes 0 .. 7) is right.
bool scratchpadValid(const Scratchpad& s);
// Temperature of a scratchpad: half degrees from bytes 0 and 1, refined by the count
// remaining (byte 6) and count per degree (byte 7) when the latter is not 0.
TemperatureReading temperatureFrom(const Scratchpad& s);

// Converts and reads the thermometer with that node id.
TemperatureReading Read_Temperature(const std::string& RomId);

// The window's texts: the value formatted "0.0" followed by the degree sign and the
// unit letter ('C' or 'F'), in Windows-1252.
std::string temperatureCaption(double value, char unit);

} // namespace device
