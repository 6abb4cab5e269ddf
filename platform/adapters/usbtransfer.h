#pragma once
// The USB transfers the DS2490 adapter is driven with, and nothing more: vendor control
// requests without data on endpoint 0, bulk data out on endpoint 2 and in on endpoint 3,
// and the status packet of the interrupt endpoint 1. The one real implementation is
// libusb (libusbtransfer.h); tests put an emulated DS2490 behind it.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class UsbTransfer {
public:
    virtual ~UsbTransfer() = default;
    // Finds and claims the device; false with error set (naming what was looked for).
    virtual bool open(std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The device for messages, e.g. "USB 04fa:2490 (bus 1, device 7)".
    virtual std::string deviceName() const = 0;

    // Vendor request to the device (bRequest, wValue, wIndex), no data stage.
    virtual bool control(int request, int value, int index, std::string& error) = 0;
    virtual bool bulkOut(const std::vector<std::uint8_t>& data, std::string& error) = 0;
    // Reads up to n bytes.
    virtual bool bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error) = 0;
    // The status packet: 16 bytes of state, then result codes of finished commands.
    virtual bool status(std::vector<std::uint8_t>& packet, std::string& error) = 0;
};

} // namespace platform
