#include "editor/model/manufacturerlevels.h"

#include "core/base/textfile.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"

namespace editor {

ManufacturerLevels manufacturerLevelsOf(const core::TemplateRecord& t)
{
    ManufacturerLevels lv;
    for (int k = 0; k <= t.fieldLast && k < core::kFieldsMax; ++k) {
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        if (core::upper(f.typeKeyword) != "MANUFACTURER")
            continue;
        ++lv.ManuLevelLast;
        lv.entries.push_back(std::to_string(lv.ManuLevelLast + 1) + ". " + f.title);
        lv.ManuLevelField.resize(static_cast<std::size_t>(lv.ManuLevelLast) + 2, 0);
        lv.ManuLevelIndex.resize(static_cast<std::size_t>(lv.ManuLevelLast) + 2, 0);
        lv.ManuLevelIndex[static_cast<std::size_t>(lv.ManuLevelLast)] = 1;
        lv.ManuLevelField[static_cast<std::size_t>(lv.ManuLevelLast)] = k;
    }
    return lv;
}

int Manu_Level(const ManufacturerLevels& levels, int fieldIndex)
{
    for (int k = 0; k <= levels.ManuLevelLast; ++k)
        if (levels.ManuLevelField[static_cast<std::size_t>(k)] == fieldIndex)
            return k;
    return levels.ManuLevelLast + 1;
}

ManufacturerLevels manufacturerLevelsOf(int templateIndex)
{
    const auto& st = core::tdlState();
    if (templateIndex < 0 || templateIndex > st.TemplateLast || templateIndex >= static_cast<int>(st.Templates.size()))
        return ManufacturerLevels{};
    return manufacturerLevelsOf(st.Templates[static_cast<std::size_t>(templateIndex)]);
}

long getManufacturerCode(const std::string& name)
{
    auto& lists = core::listsState();
    const std::string wanted = core::upper(name);
    for (int p = 0; p < lists.Manufacturers.ListCount(); ++p) {
        if (core::upper(lists.Manufacturers.List(p)).find(wanted) == std::string::npos)
            continue;
        lists.Manufacturers.setListIndex(p);
        return p < static_cast<int>(lists.ManufacturerIds.size()) ? lists.ManufacturerIds[static_cast<std::size_t>(p)] : -1;
    }
    return -1;
}

} // namespace editor
