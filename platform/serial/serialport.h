#pragma once
// A serial port with the members of a serial control: CommPort, Settings,
// PortOpen, InBufferCount, InputLen, OutBufferCount, Output, Input. Input is polled;
// received characters are read ahead into a buffer that Input takes from.

#include "platform/base/clock.h"

#include <string>

namespace platform {

// Line settings in the control's text form, e.g. "9600,n,8,1".
struct LineSettings {
    int baud = 9600;
    char parity = 'n';  // n, e, o, m, s
    int dataBits = 8;   // 5 .. 8
    int stopBits10 = 10; // stop bits x 10: 10, 15, 20
};
// Parses "baud,parity,data,stop"; false for anything else.
bool parseLineSettings(const std::string& text, LineSettings& out);

class SerialPort {
public:
    SerialPort() = default;
    virtual ~SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Port number 1, 2, ... ("Com1" ...). Refused (false) while the port is open.
    int CommPort() const { return commPort_; }
    bool setCommPort(int n);
    // Refused (false) for a text parseLineSettings does not take; applied at once
    // when the port is open.
    const std::string& Settings() const { return settings_; }
    bool setSettings(const std::string& text);
    // Opening fails cleanly (false, lastError()) for a missing or busy port.
    bool PortOpen() const { return open_; }
    bool setPortOpen(bool open);
    const std::string& lastError() const { return lastError_; }

    // Received characters waiting to be read.
    int InBufferCount();
    // 1: Input returns at most one character; 0: everything waiting.
    int InputLen() const { return inputLen_; }
    void setInputLen(int n) { inputLen_ = n < 0 ? 0 : n; }
    // Characters still waiting to be sent; setting 0 drops them.
    int OutBufferCount();
    void setOutBufferCount(int n);
    // Queues text for sending (nothing while the port is closed).
    void Output(const std::string& text);
    // Takes waiting characters (at most InputLen of them, all when 0); "" when none.
    std::string Input();
    // Holds the line in the break state for a moment (resets adapters that listen for it).
    void sendBreak()
    {
        if (open_)
            breakSignal();
    }

    // Sleeps (no CPU) until the device has received characters that no call has taken
    // yet, or maxWait has passed; true when there are such characters. A port with no
    // device to wait on (canWaitForInput() false) returns false at once.
    bool waitForInput(Micros maxWait);
    virtual bool canWaitForInput() const { return false; }
    // Why the device failed while open (a read or write error such as EIO from a tty
    // whose adapter was unplugged); "" while it works. Cleared when the port opens.
    virtual std::string deviceError() const { return {}; }

protected:
    // API to implement.
    virtual bool openDevice(int commPort, const LineSettings& s, std::string& error) = 0;
    virtual void closeDevice() = 0;
    virtual bool applySettings(const LineSettings& s) { return true; }
    // Appends what has arrived to `to`.
    virtual void readAvailable(std::string& to) = 0;
    virtual void writeBytes(const std::string& bytes) = 0;
    virtual int pendingOutput() { return 0; }
    virtual void dropOutput() {}
    // Blocks up to maxWait until the device is readable.
    virtual bool waitReadable(Micros /*maxWait*/) { return false; }
    virtual void breakSignal() {}

private:
    void pull();

    int commPort_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool open_ = false;
    int inputLen_ = 0;
    std::string readAhead_;
    std::string lastError_;
};

// One step of a wait for input on port (nullptr: no port), window events running:
// returns when new input has arrived, the deadline has passed or a short slice has
// ended; the caller checks its condition and calls again. On the system clock a port
// that can wait sleeps in the kernel until its input arrives; otherwise the clock
// pauses for a short poll step (virtual time in tests).
void awaitInput(SerialPort* port, TimePoint deadline);

} // namespace platform
