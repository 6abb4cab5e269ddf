#include "editor/model/manufacturerlevels.h"

#include "core/tdl/tdlstate.h"

namespace editor {

namespace {
EditorModelState state;

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}
} // namespace

ManufacturerLevels manufacturerLevelsOf(const core::TemplateRecord& t)
{
    ManufacturerLevels lv;
    for (int k = 0; k <= t.fieldLast && k < core::kFieldsMax; ++k) {
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        if (upper(f.typeKeyword) != "MANUFACTURER")
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

EditorModelState& editorModelState() { return state; }
void resetEditorModelState() { state = EditorModelState{}; }

void UpdateManufactorLevels(int templateIndex)
{
    const auto& st = core::tdlState();
    if (templateIndex < 0 || templateIndex > st.TemplateLast || templateIndex >= static_cast<int>(st.Templates.size())) {
        state.levels = ManufacturerLevels{};
        return;
    }
    state.levels = manufacturerLevelsOf(st.Templates[static_cast<std::size_t>(templateIndex)]);
}

int Manu_Level(int fieldIndex) { return Manu_Level(state.levels, fieldIndex); }

} // namespace editor
