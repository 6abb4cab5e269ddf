#include "shell/nodes/familytable.h"

namespace shell {

FamilyKind familyKind(int family)
{
    switch (family) {
    case FamilyThermometer:
        return FamilyKind::Thermometer;
    case FamilyDualSwitch:
        return FamilyKind::DualSwitch;
    case FamilyAppRegister:
    case Family4kEeprom:
    case Family1kEeprom:
        return FamilyKind::Memory;
    default:
        return FamilyKind::Unsupported;
    }
}

std::string familyRecordName(int family)
{
    switch (family) {
    case FamilyThermometer:
        return "Thermometer";
    case FamilyDualSwitch:
        return "Switch & PROM";
    case FamilyAppRegister:
        return "PROM & E2-PROM Memory";
    case Family4kEeprom:
    case Family1kEeprom:
        return "E2-PROM Memory";
    case FamilyAdapter9097U:
    case FamilySerialNo1394:
        return "1kbit ROM";
    case FamilyAdapter9490R:
        return "DS2401";
    default:
        return "";
    }
}

namespace {

std::string memoryText(std::int32_t state, const char* zeroText)
{
    switch (state) {
    case 0:
        return zeroText;
    case 1:
        return "memory not assigned";
    case 2:
        return "CRC error";
    case 3:
        return "TEDS";
    case 4:
        return "Nodelist";
    default:
        return "?";
    }
}

} // namespace

std::string recordNodeText(int family, std::int32_t state)
{
    switch (family) {
    case FamilyThermometer:
        return "Thermometer";
    case FamilyDualSwitch:
        return memoryText(state, "?");
    case FamilyAppRegister:
    case Family4kEeprom:
    case Family1kEeprom:
        return memoryText(state, "Unknown TEDS selector");
    case FamilyAdapter9097U:
    case FamilyAdapter9490R:
        return "not supported";
    case FamilySerialNo1394:
        return "DS2502 IEEE 1394 serial no.";
    default:
        return "";
    }
}

} // namespace shell
