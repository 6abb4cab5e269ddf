#pragma once
// Templates built by hand for the amplifier tools' tests: fields with tags at given
// bit addresses, selectors, UTID and UTIDT.

#include "core/tdl/tdlstate.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tools_test {

struct FieldSpec {
    FieldSpec(std::string tag_, int bit_, int bits_, double p1_ = 0, double p2_ = 0, std::string unit_ = "")
        : tag(std::move(tag_)), bit(bit_), bits(bits_), p1(p1_), p2(p2_), unit(std::move(unit_))
    {
    }
    std::string tag;  // without "%", may carry a bracket suffix; "" = no tag
    int bit = 0;
    int bits = 0;
    double p1 = 0, p2 = 0;
    std::string unit;
};

struct SelectorSpec {
    int bit = 0;
    int width = 0;
    int match = 0;
};

inline core::TemplateRecord makeTemplate(const std::string& name, long long utid, int utidt,
                                         const std::vector<FieldSpec>& fields, const std::vector<SelectorSpec>& selectors)
{
    core::TemplateRecord t;
    t.name = name;
    t.UTID = *core::Currency::fromInteger(utid);
    t.UTIDT = utidt;
    t.fieldLast = static_cast<int>(fields.size()) - 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto& f = t.fields[i];
        const auto& s = fields[i];
        if (!s.tag.empty()) {
            const auto bracket = s.tag.find('[');
            f.tag = std::make_shared<core::FieldTag>(core::FieldTag{s.tag.substr(0, bracket), ""});
            f.tagName = s.tag.substr(0, bracket);
            if (bracket != std::string::npos)
                f.tagSuffix = s.tag.substr(bracket);
        }
        f.title = s.tag;
        f.bitAddress = s.bit;
        f.bitCount = s.bits;
        f.p1 = s.p1;
        f.p2 = s.p2;
        f.unit = s.unit;
    }
    t.selectorLast = static_cast<int>(selectors.size()) - 1;
    for (std::size_t i = 0; i < selectors.size(); ++i)
        t.selectors[i] = {selectors[i].bit, selectors[i].width, selectors[i].match};
    t.abstractLines = {name + " first line", "second line"};
    t.abstractCount = 2;
    return t;
}

// The worked example: UTID 1234, UTIDT 0, "Model" at 22 (15 bits), selectors (0, 8, 25)
// and (40, 4, 2), "Sens@Ref" at 60 (16 bits), p1 0.001, p2 0.05, V/Pa.
inline core::TemplateRecord workedExample(long long utid = 1234, int utidt = 0, const std::string& name = "Example")
{
    return makeTemplate(name, utid, utidt,
                        {{"Manufacturer", 8, 14},
                         {"Model", 22, 15},
                         {"SerialNumber", 100, 24},
                         {"Sens@Ref", 60, 16, 0.001, 0.05, "V/Pa"}},
                        {{0, 8, 25}, {40, 4, 2}});
}

// Installs the templates as the library (entries 0 .. n - 1, then the spare record).
inline void setLibrary(const std::vector<core::TemplateRecord>& templates)
{
    auto& st = core::tdlState();
    st.Templates = templates;
    st.Templates.emplace_back();
    st.TemplateLast = static_cast<int>(templates.size()) - 1;
    if (templates.empty())
        st.TemplateLast = 0;
}

} // namespace tools_test
