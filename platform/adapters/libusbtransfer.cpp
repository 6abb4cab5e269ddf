#include "platform/adapters/libusbtransfer.h"

#include <libusb.h>

#include <cstdio>

namespace platform {

namespace {

constexpr unsigned kTimeoutMs = 1000;
constexpr unsigned char kEpStatus = 0x81;
constexpr unsigned char kEpOut = 0x02;
constexpr unsigned char kEpIn = 0x83;
constexpr int kAltSetting = 3;

std::string hex4(int v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v & 0xFFFF);
    return buf;
}

} // namespace

LibusbTransfer::LibusbTransfer(int vendorId, int productId, int index)
    : vendor_(vendorId), product_(productId), index_(index)
{
}

LibusbTransfer::~LibusbTransfer()
{
    close();
    if (context_)
        libusb_exit(context_);
}

std::string LibusbTransfer::deviceName() const
{
    std::string name = "USB " + hex4(vendor_) + ":" + hex4(product_);
    if (index_ > 1)
        name += " #" + std::to_string(index_);
    if (!where_.empty())
        name += " (" + where_ + ")";
    return name;
}

std::string LibusbTransfer::describe(int code) const { return libusb_strerror(static_cast<libusb_error>(code)); }

bool LibusbTransfer::open(std::string& error)
{
    if (handle_)
        return true;
    if (!context_ && libusb_init(&context_) != 0) {
        context_ = nullptr;
        error = "cannot look for USB " + hex4(vendor_) + ":" + hex4(product_) + ": libusb does not start";
        return false;
    }
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    libusb_device* found = nullptr;
    int seen = 0;
    for (ssize_t i = 0; i < n && !found; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == vendor_ && d.idProduct == product_ &&
            ++seen == index_)
            found = list[i];
    }
    if (!found) {
        if (list)
            libusb_free_device_list(list, 1);
        error = "no USB device " + hex4(vendor_) + ":" + hex4(product_) +
                (index_ > 1 ? " number " + std::to_string(index_) : std::string()) + " found";
        return false;
    }
    where_ = "bus " + std::to_string(libusb_get_bus_number(found)) + ", device " +
             std::to_string(libusb_get_device_address(found));
    const int rc = libusb_open(found, &handle_);
    libusb_free_device_list(list, 1);
    if (rc != 0) {
        handle_ = nullptr;
        error = "cannot open " + deviceName() + ": " + describe(rc) +
                (rc == LIBUSB_ERROR_ACCESS ? " (install the udev rule that grants access)" : "");
        return false;
    }
    // The kernel's ds2490 module holds the interface: it is detached while we hold the
    // adapter and attached again when we let it go (libusb's auto-detach where the
    // platform has it, else by hand).
    reattach_ = false;
    if (libusb_set_auto_detach_kernel_driver(handle_, 1) != LIBUSB_SUCCESS && libusb_kernel_driver_active(handle_, 0) == 1) {
        const int d = libusb_detach_kernel_driver(handle_, 0);
        if (d != LIBUSB_SUCCESS) {
            error = "cannot detach the kernel driver from " + deviceName() + ": " + describe(d);
            close();
            return false;
        }
        reattach_ = true;
    }
    int r = libusb_claim_interface(handle_, 0);
    if (r == 0)
        r = libusb_set_interface_alt_setting(handle_, 0, kAltSetting);
    if (r != 0) {
        error = "cannot claim " + deviceName() + ": " + describe(r);
        close();
        return false;
    }
    return true;
}

void LibusbTransfer::close()
{
    if (handle_) {
        libusb_release_interface(handle_, 0);
        if (reattach_)
            libusb_attach_kernel_driver(handle_, 0);
        libusb_close(handle_);
    }
    handle_ = nullptr;
    reattach_ = false;
}

bool LibusbTransfer::control(int request, int value, int index, std::string& error)
{
    if (!handle_) {
        error = "device not open";
        return false;
    }
    constexpr auto kVendorOut = static_cast<std::uint8_t>(static_cast<unsigned>(LIBUSB_REQUEST_TYPE_VENDOR) |
                                                          static_cast<unsigned>(LIBUSB_RECIPIENT_DEVICE) |
                                                          static_cast<unsigned>(LIBUSB_ENDPOINT_OUT));
    const int r = libusb_control_transfer(handle_, kVendorOut,
                                          static_cast<std::uint8_t>(request), static_cast<std::uint16_t>(value),
                                          static_cast<std::uint16_t>(index), nullptr, 0, kTimeoutMs);
    if (r < 0) {
        error = "control request failed: " + describe(r);
        return false;
    }
    return true;
}

bool LibusbTransfer::bulkOut(const std::vector<std::uint8_t>& data, std::string& error)
{
    if (!handle_) {
        error = "device not open";
        return false;
    }
    int done = 0;
    const int r = libusb_bulk_transfer(handle_, kEpOut, const_cast<std::uint8_t*>(data.data()),
                                       static_cast<int>(data.size()), &done, kTimeoutMs);
    if (r != 0 || done != static_cast<int>(data.size())) {
        error = "bulk write failed: " + describe(r);
        return false;
    }
    return true;
}

bool LibusbTransfer::bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error)
{
    if (!handle_) {
        error = "device not open";
        return false;
    }
    data.assign(n, 0);
    int done = 0;
    const int r = libusb_bulk_transfer(handle_, kEpIn, data.data(), static_cast<int>(n), &done, kTimeoutMs);
    if (r != 0) {
        error = "bulk read failed: " + describe(r);
        return false;
    }
    data.resize(static_cast<std::size_t>(done));
    return true;
}

bool LibusbTransfer::status(std::vector<std::uint8_t>& packet, std::string& error)
{
    if (!handle_) {
        error = "device not open";
        return false;
    }
    packet.assign(32, 0);
    int done = 0;
    const int r = libusb_interrupt_transfer(handle_, kEpStatus, packet.data(), static_cast<int>(packet.size()), &done,
                                            kTimeoutMs);
    if (r != 0) {
        error = "status read failed: " + describe(r);
        return false;
    }
    packet.resize(static_cast<std::size_t>(done));
    return true;
}

} // namespace platform
