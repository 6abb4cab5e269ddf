#pragma once
// What a read memory holds, as the node list needs to know it: which template of the
// library describes it and the manufacturer id that selects its display (1 for a
// node list).

#include "core/teds/tedsbuf.h"

#include <cstdint>
#include <string>

namespace shell {

struct MemorySelector {
    bool found = false;        // a template matched, or the memory is a node list
    int templateIndex = -1;    // the matching template; -1 for a node list or none
    std::int32_t selector = 0; // manufacturer id of the match; 1 node list
    std::string title;         // the matching template's name
};

// Searches the template library in its order; the first match wins.
MemorySelector findMemorySelector(const core::TedsBuf& tb);

// Unsigned value of bits first .. first + count - 1 (count at most 32); bits the
// image does not hold count as 0.
std::uint32_t tedsBits(const core::TedsBuf& tb, int first, int count);

} // namespace shell
