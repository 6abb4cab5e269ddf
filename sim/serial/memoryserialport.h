#pragma once
// A serial port in memory: the line an in-process simulated device (amplifier chain, serial
// adapter emulator) sits behind, and the port tests drive.
// Whatever the host writes goes to the attached far end (and into written());
// what the far end has sent by the clock's current time arrives as input.

#include "platform/base/clock.h"
#include "platform/serial/serialport.h"

#include <string>
#include <vector>

namespace platform {

// The far end of an in-memory line.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // The host wrote bytes at time `at`.
    virtual void hostWrote(const std::string& bytes, TimePoint at) = 0;
    // Characters the device has sent up to `now`; they are handed over once.
    virtual std::string sentBy(TimePoint now) = 0;
    // The host opened the line or changed its settings (baud rate ...).
    virtual void lineSettings(const LineSettings&) {}
    // The host sent a break.
    virtual void hostBreak(TimePoint) {}
};

class MemorySerialPort final : public SerialPort {
public:
    explicit MemorySerialPort(SerialDevice* device = nullptr) : device_(device) {}
    void attach(SerialDevice* device) { device_ = device; }
    // Opening fails while the port is marked missing.
    void setMissing(bool missing) { missing_ = missing; }

    // Input that arrives at once, as if the far end had sent it (lost while closed).
    void deliver(const std::string& bytes)
    {
        if (PortOpen())
            incoming_ += bytes;
    }
    // Everything the host wrote, in order.
    const std::string& written() const { return written_; }
    void clearWritten() { written_.clear(); }
    // How often the output buffer was cleared.
    int outputClears() const { return outputClears_; }

protected:
    bool openDevice(int commPort, const LineSettings& s, std::string& error) override;
    void closeDevice() override { incoming_.clear(); }
    bool applySettings(const LineSettings& s) override
    {
        if (device_)
            device_->lineSettings(s);
        return true;
    }
    void breakSignal() override
    {
        if (device_)
            device_->hostBreak(clock().now());
    }
    void readAvailable(std::string& to) override;
    void writeBytes(const std::string& bytes) override;
    void dropOutput() override { ++outputClears_; }

private:
    SerialDevice* device_;
    bool missing_ = false;
    std::string incoming_;
    std::string written_;
    int outputClears_ = 0;
};

} // namespace platform
