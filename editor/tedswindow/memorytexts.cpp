#include "editor/tedswindow/memorytexts.h"

#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"

namespace editor {

namespace {

const std::string kLines3 = "\r\n\r\n\r\n";

} // namespace

std::string bufferStateText(int state)
{
    switch (state) {
    case 1: return "Not read";
    case 2: return "Read error";
    case 3: return "Read ok";
    case 4: return "CRC error";
    case 5: return "Virgin";
    default: return "unknown state value:" + std::to_string(state);
    }
}

std::string bufferStateTraceLine(int state)
{
    switch (state) {
    case 1: return "Buffer state: not read";
    case 2: return "Buffer state: read error";
    case 4: return "Buffer state: CRC error";
    case 5: return "Buffer state: virgin";
    default: return {};
    }
}

int ByteSize(int family, bool olderLayout) { return device::Get_Usable_Bytes(family, olderLayout); }

std::string deviceName(int family)
{
    const char* text = device::familyInfo(family).tedsDevice;
    return *text ? text : "Unknown";
}

std::string GetFamilyName(int family)
{
    const char* name = device::familyInfo(family).tedsName;
    return *name ? name : "Unknown";
}

RawViewHeader rawViewHeader(int family, bool olderLayout, bool appRomLocked)
{
    RawViewHeader h;
    const std::string name = deviceName(family);
    if (name == "DS2430" && olderLayout) {
        h.text = "TEDS Device = DS2430 (Application ROM not used)" + kLines3 +
                 "First 64 bit ROM data skipped (they are all high).\r\n"
                 "Next 248 bit data shown (256 bit including the 8 bit Crc):";
        h.bitCount = 248;
    } else if (name == "DS2430") {
        h.text = " TEDS Device = DS2430 (Application ROM locked)" + kLines3 +
                 "All 312 bit data shown (320 bit including the 8 bit Crc):";
        h.bitCount = 312;
        h.withRom = appRomLocked;
    } else if (olderLayout) {
        h.text = "TEDS Device = " + name + kLines3 + "First 64 bit skipped (they are all high).\r\n" +
                 "Next 248 bit data shown (256 bit including the 8 bit Crc):";
        h.bitCount = 248;
    } else {
        h.text = "TEDS Device = " + name + kLines3 + "First 312 bit data shown (320 bit including the 8 bit Crc):";
        h.bitCount = 312;
        h.withRom = appRomLocked;
    }
    return h;
}

} // namespace editor
