#include "amplifier/tools/traline.h"

#include "amplifier/model/peloxmodel.h"
#include "core/base/textfile.h"
#include "core/numeric/numberformat.h"

#include <cstdint>
#include <vector>

namespace amplifier {

namespace {

bool fieldMatches(const core::TemplateField& f, const std::string& upperWord)
{
    if (!f.tag)
        return false;
    return core::upper(f.tag->name + f.tagSuffix).find(upperWord) != std::string::npos;
}

struct Run {
    int start = 0;
    int width = 0;
    std::int64_t value = 0;
};

std::string number(double x) { return Comma2Point(core::numeric::Format(x, "0.0000000E-00")); }

} // namespace

int Find_TemplateParamText(const core::TemplateRecord& t, const std::string& word, bool& found)
{
    const std::string w = core::upper(word);
    for (int i = t.fieldLast; i >= 1; --i)
        if (fieldMatches(t.fields[static_cast<std::size_t>(i)], w)) {
            found = true;
            return i;
        }
    found = false;
    return 0;
}

int Find_TemplateParamNo(const core::TemplateRecord& t, const std::string& word, bool& found)
{
    const std::string w = core::upper(word);
    for (int i = 1; i <= t.fieldLast; ++i)
        if (fieldMatches(t.fields[static_cast<std::size_t>(i)], w)) {
            found = true;
            return i;
        }
    found = false;
    return t.fieldLast + 1;
}

std::string Format_TemplateParam(const core::TemplateRecord& t, int limitBit, int& count)
{
    std::vector<Run> runs;
    for (int s = 0; s <= t.selectorLast && s < core::kSelectorsMax; ++s) {
        const auto& sel = t.selectors[static_cast<std::size_t>(s)];
        if (!runs.empty()) {
            auto& r = runs.back();
            if (r.start + r.width == sel.bitAddress && r.width + sel.width <= 16) {
                r.value += static_cast<std::int64_t>(sel.match) * (std::int64_t{1} << r.width);
                r.width += sel.width;
                continue;
            }
        }
        runs.push_back({sel.bitAddress, sel.width, sel.match});
    }
    std::string text;
    count = 0;
    for (const auto& r : runs) {
        if (r.start >= limitBit)
            break;
        if (count > 0)
            text += ",";
        text += std::to_string(r.start) + "," + std::to_string(r.width) + "," + std::to_string(r.value);
        ++count;
    }
    return text;
}

TraTeLine Build_TRA_TE_Line(const core::TemplateRecord& t, bool amplifier1Is6188)
{
    bool modelFound = false, serialFound = false, passiveFound = false, sensFound = false;
    const int model = Find_TemplateParamText(t, "Model", modelFound);
    const int serial = Find_TemplateParamText(t, "Serial", serialFound);
    Find_TemplateParamNo(t, "Passive", passiveFound);
    const int sens = Find_TemplateParamNo(t, "Sens@Ref", sensFound);

    // Without a "Sens@Ref" field its values are those of an empty field, never a slot
    // behind the template's last field.
    static const core::TemplateField none{};
    const auto& fields = t.fields;
    const auto& s = sensFound ? fields[static_cast<std::size_t>(sens)] : none;
    const auto& m = fields[static_cast<std::size_t>(model)];
    const auto& n = fields[static_cast<std::size_t>(serial)];

    TraTeLine out;
    out.qualifies = serialFound && !passiveFound && sensFound;
    int runCount = 0;
    std::string runs = Format_TemplateParam(t, s.bitAddress, runCount);
    if (runCount == 1)
        runs += "," + runs;
    else if (runCount != 2)
        out.qualifies = false;

    std::string list = t.UTID.text() + "," + (t.UTIDT <= 1 ? "1" : "0") + "," + std::to_string(m.bitAddress) + "," +
                       std::to_string(m.bitCount) + "," + runs + "," + std::to_string(s.bitAddress) + "," +
                       std::to_string(s.bitCount);
    if (amplifier1Is6188)
        list += "," + std::to_string(n.bitAddress) + "," + std::to_string(n.bitCount);
    out.line = "TRA:TE \"" + list + "\"," + number(s.p1) + "," + number(s.p2) + "," + peloxUnitOf(s.unit);
    return out;
}

} // namespace amplifier
