#pragma once
// An emulated DS2490 behind the USB-transfer interface, in front of a simulated
// network, from the bridge's command set (see platform/adapters/ds2490.h): control,
// communication and mode requests, the endpoint 2 and 3 buffers, the status packet with
// its result codes, pulses of the set length or unlimited until halted, 12 V when the
// supply is there. Knobs: no device plugged in, device lost halfway.

#include "platform/adapters/usbtransfer.h"
#include "platform/onewiresim/simnetwork.h"

#include <deque>
#include <memory>

namespace platform::emu {

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

    // No adapter is plugged in (open fails) / it is pulled out (every transfer fails).
    void setPresent(bool present) { present_ = present; }
    void unplug() { present_ = false; }
    void setProgramVoltage(bool present) { programVoltage_ = present; }
    void setShorted(bool shorted) { shorted_ = shorted; }
    sim::SimNetwork& network() { return *net_; }

private:
    bool check(std::string& error) const;
    void communicate(int value, int index);
    void endPulse();

    std::shared_ptr<sim::SimNetwork> net_;
    bool present_ = true;
    bool open_ = false;
    bool programVoltage_ = false;
    bool shorted_ = false;
    bool pulseOn_ = false;
    int pullupCode_ = 0;   // 0 = unlimited, else n x 16 ms
    int programCode_ = 64; // n x 8 us
    int pulseEnable_ = 0;
    std::deque<std::uint8_t> toDevice_;
    std::deque<std::uint8_t> toHost_;
    std::vector<std::uint8_t> results_;
};

} // namespace platform::emu
