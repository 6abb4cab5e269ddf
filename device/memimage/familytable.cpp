#include "device/memimage/familytable.h"

#include <algorithm>
#include <iterator>

namespace device {

namespace {

using K = NodeKind;

// code, chip, record name, node text, window, pages, page size, register, erasable,
// TEDS window name, raw-view device text, read tries
constexpr FamilyInfo families[] = {
    {FamilyThermometer, "DS18S20", "Thermometer", "Thermometer", K::Thermometer, 0, 0, 0, false},
    {FamilyDS2406, "DS2406", "Switch & PROM", "", K::DualSwitch, 4, 32, 0, false,
     "DS2406", "DS2406 (Dual Addressable Switch + 1kbit ROM)"},
    {FamilyDS2430A, "DS2430A", "PROM & E2-PROM Memory", "", K::Memory, 1, 32, 8, true, "DS2430", "DS2430"},
    {FamilyDS2433, "DS2433", "E2-PROM Memory", "", K::Memory, 16, 32, 0, true, "DS2433", "DS2433 (4kbit memory)", 2},
    {FamilyDS2431, "DS2431", "E2-PROM Memory", "", K::Memory, 4, 32, 0, true, "DS2431", "DS2431 (1kbit memory)", 2},
    {FamilyAdapter9097U, "DS2502", "1kbit ROM", "not supported", K::Unsupported, 0, 0, 0, false},
    {FamilyAdapter9490R, "DS2401", "DS2401", "not supported", K::Unsupported, 0, 0, 0, false},
    {FamilySerialNo1394, "DS2502", "1kbit ROM", "DS2502 IEEE 1394 serial no.", K::Unsupported, 0, 0, 0, false},
};

constexpr FamilyInfo unknown{};

} // namespace

const FamilyInfo& familyInfo(int code)
{
    const auto it = std::find_if(std::begin(families), std::end(families),
                                 [code](const FamilyInfo& f) { return f.code == code; });
    return it == std::end(families) ? unknown : *it;
}

std::span<const FamilyInfo> familyRows() { return families; }

} // namespace device
