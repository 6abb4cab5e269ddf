#include "editor/model/fulltedslisting.h"

#include "core/base/message.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "editor/model/fieldtypes.h"

#include <algorithm>

namespace editor {

std::vector<std::string> appendFullTEDS(TedsDocument& doc, bool prefix)
{
    std::vector<std::string> lines;
    auto& buf = doc.TedsBuf;
    core::BytesToBits(buf);
    const auto& lib = core::tdlState();
    const int ti = doc.ActualTemplate();
    const core::TemplateRecord* t =
        ti >= 0 && ti < static_cast<int>(lib.Templates.size()) ? &lib.Templates[static_cast<std::size_t>(ti)] : nullptr;
    lines.push_back("Node ID " + buf.id);
    if (t) {
        lines.push_back("Title " + t->name);
        lines.push_back("UTID " + t->UTID.text());
        lines.push_back("UGID " + t->UGID.text());
        const int count = std::min(t->abstractCount, static_cast<int>(t->abstractLines.size()));
        for (int i = 0; i < count; ++i)
            lines.push_back("abstract " + t->abstractLines[static_cast<std::size_t>(i)]);
        const int last = std::min(t->fieldLast, core::kFieldsMax - 1);
        for (int k = 0; k <= last; ++k) {
            const auto& f = t->fields[static_cast<std::size_t>(k)];
            std::string value;
            if (const FieldType* type = findFieldType(f.typeKeyword)) {
                const FieldContext c{f, k, buf, doc.Title};
                if (type->listing)
                    value = type->listing(c, prefix);
                else
                    value = type->decode(c).value_or(std::string());
            } else {
                core::ShowMessage("Unknown type: " + f.typeKeyword, 0, "");
            }
            const std::string tag = f.tag ? f.tag->name : f.tagName;
            lines.push_back("%" + tag + f.tagSuffix + ", \"" + f.title + "\", \"" + value + "\"");
        }
    }
    lines.push_back(buf.Status == core::TedsStatusCrcError ? "Checksum is failed" : "Checksum is ok");
    return lines;
}

} // namespace editor
