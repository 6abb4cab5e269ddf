#pragma once
// An emulated DS2490 USB to 1-Wire bridge behind the USB-transfer interface, in front of a
// simulated network, from its datasheet alone: the vendor requests on endpoint 0 (control,
// communication and mode commands, with their embedded bits and parameter ranges), the
// EP2/EP3 data FIFOs, and the EP1 status packet (16 bytes of state registers, then the
// result register values). Communication commands take the 1-Wire time they need; the
// status shows the chip busy until that time has passed. Requests the chip does not
// define stall; what its datasheet leaves open is taken in the strictest reading and
// recorded as a protocol error the test sees.
// Knobs: no device plugged in, device lost halfway, 12 V supply, shorted bus, a device
// that stops answering.

#include "sim/adapters/ds2490core.h"
#include "platform/adapters/usbtransfer.h"

#include <memory>

namespace platform::emu {

struct UsbCounters {
    long control = 0;          // requests on endpoint 0 ...
    long controlCommands = 0;  // ... of them control commands
    long commCommands = 0;     // ... communication commands
    long modeCommands = 0;     // ... mode commands
    long bulkOut = 0;
    long bulkOutBytes = 0;
    long bulkIn = 0;
    long bulkInBytes = 0;
    long status = 0;           // EP1 status packets read
    long total() const { return control + bulkOut + bulkIn + status; }
};

class Ds2490Emu final : public UsbTransfer {
public:
    explicit Ds2490Emu(std::shared_ptr<sim::SimNetwork> network);

    bool open(std::string& error) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::string deviceName() const override { return "USB 04fa:2490 (emulated)"; }

    bool control(int request, int value, int index, std::string& error) override;
    bool bulkOut(const std::vector<std::uint8_t>& data, std::string& error) override;
    bool bulkIn(std::size_t n, std::vector<std::uint8_t>& data, std::string& error) override;
    bool status(std::vector<std::uint8_t>& packet, std::string& error) override;

    // No adapter is plugged in (open fails) / it is pulled out (every transfer fails);
    // plugging it in again powers it up.
    void setPresent(bool present);
    void unplug() { setPresent(false); }
    void setProgramVoltage(bool present) { core_.setProgramVoltage(present); }
    void setShorted(bool shorted) { core_.setShorted(shorted); }
    // The device stays on the bus but answers no transfer.
    void setSilent(bool silent) { silent_ = silent; }
    sim::SimNetwork& network() { return core_.network(); }

    const std::vector<std::string>& protocolErrors() const { return core_.errors(); }
    void clearProtocolErrors() { core_.clearErrors(); }
    const UsbCounters& counters() const { return counters_; }
    void clearCounters() { counters_ = {}; }
    // The chip's state registers (the mode commands' settings).
    const Ds2490Registers& registers() const { return core_.registers(); }

private:
    bool check(std::string& error) const;
    bool stall(const std::string& what, std::string& error);
    bool controlCommand(int value, int index, std::string& error);
    bool modeCommand(int value, int index, std::string& error);
    bool commCommand(int value, int index, std::string& error);
    // Waits through the clock as a blocked bulk transfer does; false when nothing came.
    template <class Ready, class Coming>
    bool await(Ready ready, Coming coming);

    Ds2490Core core_;
    bool present_ = true;
    bool open_ = false;
    bool silent_ = false;
    bool ep0Full_ = false;
    UsbCounters counters_;
};

} // namespace platform::emu
