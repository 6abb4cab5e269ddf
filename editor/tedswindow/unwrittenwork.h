#pragma once
// Where the TEDS of a window exists besides the window: the bytes the node holds as far
// as known, and the bytes last read from or saved in a file (or made as a new empty
// TEDS). From them: the changes that never reached the node, and those that exist
// nowhere else (what a replacement or the end of the program would lose).

#include "editor/model/tedsdocument.h"

#include <cstdint>
#include <vector>

namespace editor {

class UnwrittenWork {
public:
    // The node holds what the document holds (read, written and verified, or erased).
    void noteInSync(const TedsDocument& doc) { synced_ = doc.TedsBuf.Bytes; }
    // A file or a new empty TEDS holds what the document holds.
    void noteKept(const TedsDocument& doc) { kept_ = doc.TedsBuf.Bytes; }

    // Changes that never reached the node (edits, a new template, a file); none while no
    // TEDS or a node list is on show.
    bool unwritten(const TedsDocument& doc) const
    {
        if (!doc.TedsShown || doc.TedsManufacturerId == 1)
            return false;
        return doc.TedsChanged || doc.TedsBuf.Bytes != synced_;
    }
    // ... and not in a file read or saved since, nor just made from a template.
    bool unsaved(const TedsDocument& doc) const
    {
        const auto& bytes = doc.TedsBuf.Bytes;
        return unwritten(doc) && bytes != synced_ && bytes != kept_;
    }

private:
    std::vector<std::uint8_t> synced_;
    std::vector<std::uint8_t> kept_;
};

} // namespace editor
