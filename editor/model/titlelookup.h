#pragma once
// The fields of a TEDS found by their titles and decoded: what other windows and the
// request server ask of a document by name (a field whose title holds a text, the
// sensitivity and its unit). The codecs decode from the image; nothing is written.

#include "core/tdl/templaterecord.h"
#include "core/teds/tedsbuf.h"

#include <string>

namespace editor {

class TitleLookup {
public:
    // rec: the template the TEDS is laid out by (nullptr: none, nothing is found). The
    // three are kept by reference and must outlive the lookup.
    TitleLookup(const core::TemplateRecord* rec, core::TedsBuf& teds, const std::string& title)
        : rec_(rec), teds_(teds), title_(title)
    {
    }

    // The first field from field index Manufacture on whose title contains search (any
    // case), decoded; Manufacture then holds its index. A CONRES / CONRELRES field of all
    // ones gives ftext "N/A", fvalue unchanged and *available false. A field of a type
    // without a lookup is found after a message.
    bool find(const std::string& search, double& fvalue, std::string& ftext, int& Manufacture, bool* available) const;
    // The sensitivity ("Sensitivity @" in the title) and its unit. True when a number was
    // given. No such field: 0 and "unknown". A field of all ones (not available): value
    // 0, its unit, false.
    bool sensitivity(double& value, std::string& unit) const;

private:
    const core::TemplateRecord* rec_;
    core::TedsBuf& teds_;
    const std::string& title_;
};

} // namespace editor
