#pragma once
// Fixed texts and numbers of a node memory as the TEDS window reports them: the TEDS
// state texts, the usable bytes per family, the device names and the header of the raw
// memory view.

#include <string>

namespace editor {

// Job 5's text for a TEDS state ("Read ok", ...; "unknown state value:7").
std::string bufferStateText(int state);
// The trace line after a read try; "" for states without one (3 and unknown states).
std::string bufferStateTraceLine(int state);

// Usable TEDS bytes of a family in the newer or the older (IEEE P1451.4) layout.
int ByteSize(int family, bool olderLayout);

// The raw view's device name of a family ("DS2433 (4kbit memory)", "Unknown").
std::string deviceName(int family);
// Short family name ("DS2406", "DS2430", "DS2433", "DS2431", "Unknown").
std::string GetFamilyName(int family);

// What the raw memory view shows above the bit dump and how much of the memory.
struct RawViewHeader {
    std::string text;   // header lines, CR LF between them
    int bitCount = 0;   // bits dumped
    bool withRom = false;
};
// appRomLocked: the DS2430A application register of the node the TEDS came from is locked.
RawViewHeader rawViewHeader(int family, bool olderLayout, bool appRomLocked);

} // namespace editor
