#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"

namespace platform::sim {

std::shared_ptr<SimNode> makeNode(const RomCode& rom)
{
    switch (rom.family()) {
    case 0x10:
        return std::make_shared<SimThermometer>(rom);
    case 0x12:
        return std::make_shared<SimDualSwitch>(rom);
    case 0x14:
        return std::make_shared<SimDs2430>(rom);
    case 0x23:
        return std::make_shared<SimDs2433>(rom);
    case 0x2D:
        return std::make_shared<SimDs2431>(rom);
    default:
        return std::make_shared<SimRomOnlyNode>(rom);
    }
}

} // namespace platform::sim
