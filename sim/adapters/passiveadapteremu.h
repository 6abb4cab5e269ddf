#pragma once
// An emulated passive serial adapter (DS9097 style) in front of a simulated network: the
// UART's transmit line drives the 1-Wire bus and its receive line reads the bus back, so
// every character is one piece of 1-Wire signalling and comes back as its echo at the
// end of its frame (the 1-Wire master through a UART of the chips' application note):
//   Reset and presence: F0h at 9600 baud (start bit and four 0 bits, 520 us low). The
//     echo is F0h without a presence pulse, E0h when a presence pulse pulled the line low
//     during the first 1 bit, 00h on a shorted line.
//   Write-1 / read slot: FFh at 115200 baud (only the start bit is low). The echo is FFh
//     when the line stayed high, F8h when a node held it low into the third data bit.
//   Write-0 slot: 00h at 115200 baud (78 us low); the echo is 00h.
// Any other character, rate or framing is not a defined piece of signalling: a protocol
// error, with the bus left alone. Eight slot characters at a byte boundary of one write
// make one byte on the bus (the transcript shows bytes where the host wrote bytes).

#include "sim/adapters/serialadapteremu.h"

namespace platform::emu {

class PassiveAdapterEmu final : public SerialAdapterEmu {
public:
    using SerialAdapterEmu::SerialAdapterEmu;

protected:
    void advance(TimePoint now) override;
    void onBreak(TimePoint at) override;

private:
    bool framed(const Char& c);
    void timeSlots(const std::vector<Char>& group);
};

} // namespace platform::emu
