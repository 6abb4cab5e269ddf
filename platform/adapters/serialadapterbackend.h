#pragma once
// The common part of the 1-Wire adapters on a serial port: the port is opened at the
// first session and kept until TMClose; every exchange writes its bytes and waits
// (through the clock) for the exact number of answer bytes. An answer that does not
// come in time closes the port and is an error that names the device tried, so the
// next session starts the adapter afresh.

#include "platform/adapters/adaptertraffic.h"
#include "platform/base/clock.h"
#include "platform/onewire/tmex.h"
#include "platform/serial/serialport.h"

#include <memory>
#include <string>

namespace platform {

class SerialAdapterBackend : public OneWireBackend {
public:
    // port: the line (its CommPort is set to commPort); name: the adapter for messages.
    SerialAdapterBackend(std::unique_ptr<SerialPort> port, int commPort, std::string name);

    int openSession() override;
    void closeSession() override;
    void releasePort() override;
    bool setup() override { return port_->PortOpen(); }
    bool isSimulated() const override { return false; }
    std::string description() const override;
    std::string lastError() const override { return error_; }

    const AdapterTraffic& traffic() const { return traffic_; }
    AdapterTraffic& traffic() { return traffic_; }
    // The device file tried for the port ("Com<n>" when the line is not a tty).
    std::string devicePath() const;

    // The pre-bytes compatibility calls map onto the checked ones; an error reads as 0.
    bool reset() override { return resetPulse() == ResetOutcome::Presence; }
    int touchBit(int b) override { return bit(b).value; }
    int touchByte(int b) override { return byte(b).value; }

protected:
    // The adapter is started on a freshly opened line; false (error set) when it does not answer.
    virtual bool start() = 0;
    // Line settings to open with.
    virtual std::string openSettings() const { return "9600,n,8,1"; }
    // Called when the line is closed (adapter state is lost).
    virtual void forget() {}

    // Writes out, then waits for n answer bytes and until the last byte written has
    // reached the adapter. false (port closed, error set) when they do not come within the
    // line time plus allowance. extra: bus time the adapter needs.
    bool exchange(const std::string& out, std::size_t n, std::string& in, Micros extra = Micros(0));
    // Writes without waiting for an answer.
    bool send(const std::string& out);
    // When the last byte written has fully reached the adapter (estimated from the line
    // time of everything written); the time one character takes on the line.
    TimePoint lineFree() const { return lineFree_; }
    Micros characterTime() const;
    // Changes the baud rate of the open line.
    bool setBaud(int baud);
    int baud() const { return baud_; }
    // Records why, closes the line, returns false.
    bool fail(const std::string& why);
    SerialPort& port() { return *port_; }
    const std::string& name() const { return name_; }

private:
    std::unique_ptr<SerialPort> port_;
    std::string name_;
    std::string error_;
    int baud_ = 9600;
    TimePoint lineFree_{};
    AdapterTraffic traffic_;
};

} // namespace platform
