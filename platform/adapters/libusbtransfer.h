#pragma once
// UsbTransfer over libusb-1.0: the n-th device with the DS2490's vendor and product id,
// interface 0, alternate setting 3 (bulk endpoints 2 and 3 of 64 bytes, interrupt
// endpoint 1 every ms), vendor requests on endpoint 0. While the device is open the
// kernel's own driver (ds2490) is detached from the interface; closing gives it back.

#include "platform/adapters/usbtransfer.h"

struct libusb_context;
struct libusb_device_handle;

namespace platform {

class LibusbTransfer final : public UsbTransfer {
public:
    // index: 1 = the first matching device found.
    LibusbTransfer(int vendorId, int productId, int index);
    ~LibusbTransfer() override;

    bool open(std::string& error) override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    std::string deviceName() const override;

    bool control(int request, int value, int index, std::string& error) override;
    bool bulkOut(const std::vector<std::uint8_t>& data, std::string& error) override;
    bool bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error) override;
    bool status(std::vector<std::uint8_t>& packet, std::string& error) override;

private:
    std::string describe(int code) const;

    int vendor_;
    int product_;
    int index_;
    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    std::string where_;  // bus and device once found
    bool reattach_ = false;  // the kernel driver was detached by hand
};

} // namespace platform
