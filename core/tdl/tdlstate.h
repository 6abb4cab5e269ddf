#pragma once
// The template library: every template read at start-up, in file order.

#include "core/tdl/templaterecord.h"

#include <vector>

namespace core {

struct TdlState {
    // Templates 0 .. TemplateLast, then one spare empty record.
    std::vector<TemplateRecord> Templates = std::vector<TemplateRecord>(1);
    int TemplateLast = 0;        // last complete template (readers loop 0 .. TemplateLast)
    int TemplateParseLast = -1;  // the parser's running last index
};

TdlState& tdlState();
void resetTdlState();

// Number of templates loaded so far.
int TemplatesLoaded();

} // namespace core
