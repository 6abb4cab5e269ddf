#include "sim/serial/memoryserialport.h"

namespace platform {

bool MemorySerialPort::openDevice(int commPort, const LineSettings& s, std::string& error)
{
    if (missing_) {
        error = "Cannot open Com" + std::to_string(commPort) + ": no such port";
        return false;
    }
    if (device_)
        device_->lineSettings(s);
    return true;
}

void MemorySerialPort::readAvailable(std::string& to)
{
    if (device_)
        incoming_ += device_->sentBy(clock().now());
    to += incoming_;
    incoming_.clear();
}

void MemorySerialPort::writeBytes(const std::string& bytes)
{
    written_ += bytes;
    if (device_)
        device_->hostWrote(bytes, clock().now());
}

} // namespace platform
