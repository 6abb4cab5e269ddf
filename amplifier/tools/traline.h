#pragma once
// The "TRA:TE" line that defines one template in an amplifier's template table, and
// the rule that decides whether a template can be used by an amplifier at all: it
// has a serial-number field, a "Sens@Ref" field, no "Passive" field, and one or two
// selector runs before the sensitivity field. Pure functions of a template.
//
// Line: TRA:TE "utid,utidt,model bit,model bits,run1,run2,sens bit,sens bits[,serial
// bit,serial bits]",p1,p2,unit code   (runs: start,width,value; one run is written
// twice; the serial pair only when amplifier 1 is a 6188).

#include "core/tdl/templaterecord.h"

#include <string>

namespace amplifier {

// Field lookups by tag word: a field matches when its tag name and bracket suffix
// contain the word, letter case ignored; field 0 and fields without a tag never match.
// The highest matching field; 0 when none.
int Find_TemplateParamText(const core::TemplateRecord& t, const std::string& word, bool& found);
// The lowest matching field; fieldLast + 1 when none.
int Find_TemplateParamNo(const core::TemplateRecord& t, const std::string& word, bool& found);

// The template's selectors joined into runs of adjacent bits (at most 16 bits each),
// written as "start,width,value" joined by ","; runs from the first one that does not
// start below limitBit on are left out. count: the runs written.
std::string Format_TemplateParam(const core::TemplateRecord& t, int limitBit, int& count);

struct TraTeLine {
    std::string line;  // without the line end
    bool qualifies = false;
};

// amplifier1Is6188: the type text of amplifier 1 contains "6188" (adds the serial pair).
TraTeLine Build_TRA_TE_Line(const core::TemplateRecord& t, bool amplifier1Is6188);

} // namespace amplifier
