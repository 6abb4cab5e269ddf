#include "editor/model/templatematcher.h"

#include "core/numeric/numberrules.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "editor/model/titlelookup.h"

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

constexpr int kIdBits = 14;

int toInteger(double v)
{
    if (!std::isfinite(v))
        return 0;
    return core::numeric::CLng(core::numeric::roundHalfEven(v)).value_or(v < 0 ? 0 : 2147483647);
}

} // namespace

const core::TemplateRecord* TemplateMatcher::templateAt(int index)
{
    const auto& st = core::tdlState();
    if (index < 0 || index >= static_cast<int>(st.Templates.size()))
        return nullptr;
    return &st.Templates[static_cast<std::size_t>(index)];
}

Display TemplateMatcher::displayFor(int id)
{
    if (id == 1)
        return Display::NodeList;
    if (id == 0 || (id >= 2 && id <= 15))
        return Display::SpecialCase;
    if (id >= 17 && id <= core::kTedsManufacturerIdLast)
        return Display::Grid;
    return Display::NotDefined;
}

TemplateMatch TemplateMatcher::find(const std::string& title) const
{
    const auto& st = core::tdlState();
    TemplateMatch m;
    for (int index = 0; index <= st.TemplateLast && index < static_cast<int>(st.Templates.size()); ++index) {
        const auto& t = st.Templates[static_cast<std::size_t>(index)];
        if (isEmptyRecord(t) || t.lengthBits > 8 * teds_.Size)
            continue;
        double v = 0;
        std::string text;
        int from = 0;
        const int id = TitleLookup(&t, teds_, title).find("Manufacture", v, text, from, nullptr) ? toInteger(v) : 0;
        if (selectorsMatch(t, id))
            return TemplateMatch{TemplateMatch::Template, index, id};
    }
    // A node list carries manufacturer id 1 in the 14-bit id of the basic TEDS.
    m.manufacturerId = teds_.holdsBits(0, kIdBits) ? static_cast<int>(core::Bits2Val(teds_, 0, kIdBits).low64()) : 0;
    if (m.manufacturerId == 1) {
        m.kind = TemplateMatch::NodeList;
        m.index = st.TemplateLast + 1;
    } else {
        m.kind = TemplateMatch::None;
        m.index = st.TemplateLast;
    }
    return m;
}

bool TemplateMatcher::selectorsMatch(const core::TemplateRecord& t, int manufacturerId) const
{
    for (int k = 0; k <= t.selectorLast && k < core::kSelectorsMax; ++k) {
        const auto& s = t.selectors[static_cast<std::size_t>(k)];
        if (s.bitAddress + s.width > t.lengthBits || !teds_.holdsBits(s.bitAddress, s.width))
            return false;
        if (core::Bits2Val(teds_, s.bitAddress, s.width) !=
            core::numeric::BigUInt(static_cast<std::uint64_t>(static_cast<std::uint32_t>(s.match))))
            return false;
        if (!(manufacturerId > 1) || teds_.DraftLayout != (t.UTIDT <= 1))
            return false;
    }
    return true;
}

int TemplateMatcher::manufacturerFromBits(const core::TemplateRecord* rec, const ManufacturerLevels& levels) const
{
    int id = 0;
    if (rec && levels.ManuLevelLast >= 0) {
        const auto& f = rec->fields[static_cast<std::size_t>(levels.ManuLevelField[0])];
        if (teds_.holdsBits(f.bitAddress, f.bitCount))
            id = static_cast<int>(
                std::min<std::uint64_t>(core::Bits2Val(teds_, f.bitAddress, f.bitCount).low64(), 0x7FFFFFFF));
    }
    return id == 0 ? 4096 : id;
}

} // namespace editor
