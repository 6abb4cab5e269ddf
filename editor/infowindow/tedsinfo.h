#pragma once
// What the TEDS information window shows for a template: its ids, thread, description
// file, allocated bits and the note on its validation, plus the node the TEDS belongs to.

#include <string>
#include <vector>

namespace editor {

struct TedsInfo {
    std::string nodeId;          // ID
    std::string usedBitsCaption; // LblUsedBits
    std::string usedBits;        // Usedbits
    std::string note;            // Note
    std::string file;            // TDL_file
    std::string utidt;           // UTIDT
    std::string utid;            // UTID
    std::string ugid;            // UGID
    std::string templateName;    // the abstract control's title
    std::vector<std::string> abstractLines;
};

// UpdateInfo for library template t. previousNote: the note's text so far (it is kept
// when the last field is not a user field).
TedsInfo tedsInfoFor(int t, const std::string& actualNodeId, const std::string& previousNote);

// The abstract text: the lines joined by CR LF, no trailing line break.
std::string abstractText(const std::vector<std::string>& lines);

} // namespace editor
