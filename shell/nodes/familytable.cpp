#include "shell/nodes/familytable.h"

namespace shell {

FamilyKind familyKind(int family) { return device::familyInfo(family).kind; }

std::string familyRecordName(int family) { return device::familyInfo(family).recordName; }

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
    const device::FamilyInfo& f = device::familyInfo(family);
    switch (f.kind) {
    case FamilyKind::DualSwitch:
        return memoryText(state, "?");
    case FamilyKind::Memory:
        return memoryText(state, "Unknown TEDS selector");
    default:
        return f.nodeText;
    }
}

} // namespace shell
