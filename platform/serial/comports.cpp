#include "platform/serial/comports.h"

#include "platform/base/system.h"

#include <filesystem>

namespace platform {

std::string commPortDevice(int n)
{
    const std::string num = std::to_string(n);
    if (auto v = environment("TEDSMITH_COM" + num); v && !v->empty())
        return *v;
    const std::string index = std::to_string(n - 1);
    const std::string usb = "/dev/ttyUSB" + index;
    std::error_code ec;
    if (std::filesystem::exists(usb, ec))
        return usb;
    return "/dev/ttyS" + index;
}

} // namespace platform
