#pragma once
// An emulated passive serial adapter in front of a simulated network. At 9600 baud a
// character is a reset: the echo is F0h without a presence pulse, E0h with one (the
// pulse pulls the high bits low) and 00h on a shorted line. At 115200 baud a character
// is one time slot: FFh writes 1 and echoes FFh when the line stayed high (FEh when a
// node held it low), any other character writes 0 and echoes 00h. Eight slot characters
// in one write make one byte on the bus.

#include "platform/adapteremu/serialemu.h"

namespace platform::emu {

class PassiveAdapterEmu final : public SerialAdapterEmu {
public:
    using SerialAdapterEmu::SerialAdapterEmu;

protected:
    void received(const std::string& bytes) override;
};

} // namespace platform::emu
