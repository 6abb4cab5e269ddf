#include "tests/kit/memoryselector.h"

#include "core/base/textfile.h"
#include "core/tdl/tdlstate.h"

#include <algorithm>

namespace shell {

std::uint32_t tedsBits(const core::TedsBuf& tb, int first, int count)
{
    std::uint32_t v = 0;
    if (first < 0 || count <= 0)
        return 0;
    count = std::min(count, 32);
    for (int i = 0; i < count; ++i) {
        const int b = first + i;
        if (b < tb.bitCount() && tb.Bits[b])
            v |= std::uint32_t{1} << i;
    }
    return v;
}

namespace {

bool containsNoCase(const std::string& text, const std::string& part)
{
    return core::upper(text).find(core::upper(part)) != std::string::npos;
}

// Value of the template's first field whose title contains "Manufacture"; 0 when none.
std::int32_t manufacturerValue(const core::TemplateRecord& t, const core::TedsBuf& tb)
{
    for (int f = 0; f <= t.fieldLast && f < core::kFieldsMax; ++f) {
        const auto& field = t.fields[f];
        if (containsNoCase(field.title, "Manufacture"))
            return static_cast<std::int32_t>(tedsBits(tb, field.bitAddress, field.bitCount));
    }
    return 0;
}

bool matches(const core::TemplateRecord& t, const core::TedsBuf& tb)
{
    if (t.lengthBits > 8 * tb.Size)
        return false;
    const std::int32_t manufacturer = manufacturerValue(t, tb);
    for (int k = 0; k <= t.selectorLast && k < core::kSelectorsMax; ++k) {
        const auto& sel = t.selectors[k];
        if (tedsBits(tb, sel.bitAddress, sel.width) != static_cast<std::uint32_t>(sel.match))
            return false;
        if (sel.bitAddress + sel.width > t.lengthBits)
            return false;
        if (!(manufacturer > 1 && tb.DraftLayout == (t.UTIDT <= 1)))
            return false;
    }
    return true;
}

} // namespace

MemorySelector findMemorySelector(const core::TedsBuf& tb)
{
    MemorySelector m;
    const auto& lib = core::tdlState();
    // Nothing parsed yet: no library to search.
    const int n = core::TemplatesLoaded() > 0 ? lib.TemplateLast + 1 : 0;
    for (int i = 0; i < n && i < static_cast<int>(lib.Templates.size()); ++i) {
        const auto& t = lib.Templates[i];
        if (!matches(t, tb))
            continue;
        m.found = true;
        m.templateIndex = i;
        m.title = t.name;
        const int mf = t.manufacturerField;
        std::int32_t id = 0;
        if (mf >= 0 && mf <= t.fieldLast && mf < core::kFieldsMax)
            id = static_cast<std::int32_t>(tedsBits(tb, t.fields[mf].bitAddress, t.fields[mf].bitCount));
        m.selector = id == 0 ? 4096 : id;
        return m;
    }
    if (tedsBits(tb, 0, 12) == 1) {
        m.found = true;
        m.selector = 1;
    }
    return m;
}

} // namespace shell
