#pragma once
// The serial port on a Linux tty (raw mode, no flow control, non-blocking reads).
// The device file comes from commPortDevice(CommPort) unless a path is set.

#include "platform/serial/serialport.h"

namespace platform {

class TermiosSerialPort final : public SerialPort {
public:
    TermiosSerialPort() = default;
    ~TermiosSerialPort() override;
    // Opens this path instead of the one the port number maps to ("" = by number).
    void setDevicePath(const std::string& path) { path_ = path; }
    // The device file the port opens (or opened).
    std::string devicePath() const;
    bool canWaitForInput() const override { return fd_ >= 0; }
    std::string deviceError() const override { return deviceError_; }

protected:
    bool openDevice(int commPort, const LineSettings& s, std::string& error) override;
    void closeDevice() override;
    bool applySettings(const LineSettings& s) override;
    void readAvailable(std::string& to) override;
    void writeBytes(const std::string& bytes) override;
    int pendingOutput() override;
    void dropOutput() override;
    bool waitReadable(Micros maxWait) override;
    void breakSignal() override;

private:
    void flushPending();
    void noteError(const char* what, int code);

    std::string path_;
    std::string openedPath_;
    int fd_ = -1;
    std::string unsent_; // written while the kernel buffer was full
    std::string deviceError_;
};

} // namespace platform
