#include "editor/infowindow/tedsinfo.h"

#include "core/base/textfile.h"
#include "core/tdl/tdlstate.h"

namespace editor {

TedsInfo tedsInfoFor(int t, const std::string& actualNodeId, const std::string& previousNote)
{
    TedsInfo info;
    info.nodeId = actualNodeId;
    info.note = previousNote;
    const auto& lib = core::tdlState();
    if (t < 0 || t >= static_cast<int>(lib.Templates.size()))
        return info;
    const core::TemplateRecord& tr = lib.Templates[static_cast<std::size_t>(t)];
    const bool userLast = tr.fieldLast >= 0 && tr.fieldLast < core::kFieldsMax &&
                          core::upper(tr.fields[static_cast<std::size_t>(tr.fieldLast)].title).find("USER") != std::string::npos;
    if (userLast) {
        info.usedBitsCaption = "Allocated bits excl. user ";
        info.usedBits = std::to_string(tr.lengthBits - tr.fields[static_cast<std::size_t>(tr.fieldLast)].bitCount);
        info.note = tr.validated ? "" : "note: Template description file is not valid";
    } else {
        info.usedBitsCaption = "Allocated bits";
        info.usedBits = std::to_string(tr.lengthBits);
    }
    info.templateName = tr.name;
    info.abstractLines = tr.abstractLines;
    info.file = tr.file;
    info.utidt = tr.UTIDT == 0 ? "Beta template" : tr.UTIDT == 1 ? "IEEE P1451.4 v 0.9" : std::to_string(tr.UTIDT);
    info.utid = tr.UTID.text();
    info.ugid = tr.UGID.text();
    return info;
}

std::string abstractText(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    return text;
}

} // namespace editor
