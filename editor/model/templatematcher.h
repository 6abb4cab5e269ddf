#pragma once
// Finding the template of a TEDS image in the template library: the first template whose
// selectors all hold their values in the image wins; an image without a match is a node
// list when the 14-bit id of its basic TEDS is 1. Works on the image and the library
// only; the document puts the result on show.

#include "core/tdl/templaterecord.h"
#include "core/teds/tedsbuf.h"
#include "editor/model/manufacturerlevels.h"

#include <string>

namespace editor {

// What a display (ShowForm) puts on show, chosen by the manufacturer id.
enum class Display { Nothing, NodeList, Grid, SpecialCase, NotDefined };

// The result of TemplateMatcher::find.
struct TemplateMatch {
    enum Kind { Template, NodeList, None };
    Kind kind = None;
    // Template: the library index; NodeList: TemplateLast + 1; None: TemplateLast.
    int index = 0;
    // Template: the id the title lookup found ("Manufacture"); otherwise the basic
    // TEDS's 14-bit id.
    int manufacturerId = 0;
};

class TemplateMatcher {
public:
    // teds: the image, its bits in step with its bytes; kept by reference.
    explicit TemplateMatcher(core::TedsBuf& teds) : teds_(teds) {}

    // Library template index (nullptr outside the library's records).
    static const core::TemplateRecord* templateAt(int index);
    // A record that holds no template (the library's spare entry before anything is read).
    static bool isEmptyRecord(const core::TemplateRecord& t) { return t.fieldLast < 0 && t.selectorLast < 0; }
    // The display for a manufacturer id: 1 a node list, 0 and 2 .. 15 a special case,
    // 17 .. 16381 a field grid, anything else not defined.
    static Display displayFor(int manufacturerId);

    // The first library template matching the image. title: the document's title, for
    // the field codecs the title lookup decodes with.
    TemplateMatch find(const std::string& title) const;
    // Every selector of t holds its value, the image's layout is t's (V0.9 or not) and
    // manufacturerId (found by the title lookup with t) is past the node list's 1.
    bool selectorsMatch(const core::TemplateRecord& t, int manufacturerId) const;
    // The id in the field of manufacturer level 0 of rec (0 and no such field read as
    // 4096).
    int manufacturerFromBits(const core::TemplateRecord* rec, const ManufacturerLevels& levels) const;

private:
    core::TedsBuf& teds_;
};

} // namespace editor
