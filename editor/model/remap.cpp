// TedsDocument: moving a TEDS onto another template, field by field by tag.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/tdl/tdlstate.h"
#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"
#include "editor/model/tedsdocument.h"

#include <vector>

namespace editor {

namespace {

constexpr int kRemapNameWidth = 50;
constexpr int kBasicTedsBits = 64;

std::string tagOf(const core::TemplateField& f) { return f.tag ? f.tag->name : f.tagName; }

std::string reportLine(std::string name, const std::string& value)
{
    if (name.size() < kRemapNameWidth)
        name.append(kRemapNameWidth - name.size(), ' ');
    return name + value + "\r\n";
}

bool isTextType(const std::string& keyword)
{
    return keyword == "CHR5" || keyword == "ASCII" || keyword == "ASCII-7BIT";
}

} // namespace

void TedsDocument::Remap_Template(int& t)
{
    const auto& st = core::tdlState();
    const auto* target = templateAt(t);
    if (!target || t > st.TemplateLast)
        return;
    if (LinkedToNode && target->lengthBits > 8 * device::Get_Usable_Bytes(TedsBuf.Family, target->UTIDT < 2)) {
        core::MsgBox("Requested TEDS too large for this node - no change made");
        return;
    }
    auto& last = core::coreState().LastRemapTemplate;
    if (t == actualTemplate_ && last != -1)
        t = last;
    if (t == actualTemplate_) {
        core::MsgBox("Source and distination is the same");
        return;
    }
    last = t;

    // The old fields' tags and value texts (never the descriptions of the other view).
    std::vector<std::string> names;
    std::vector<std::string> values;
    if (const auto* old = hasLibraryTemplate() ? templateAt(actualTemplate_) : nullptr) {
        const int f = std::min(old->fieldLast, kRowCount - 1);
        for (int i = 0; i <= f; ++i) {
            names.push_back(tagOf(old->fields[static_cast<std::size_t>(i)]));
            values.push_back(rows[static_cast<std::size_t>(i)].value);
        }
    }
    if (!GetNewTemplate(t))
        return;

    // Each old field goes to the first new field of its tag not yet taken. A field in the
    // locked basic TEDS of a DS2430A keeps what the register holds.
    const auto& now = *templateAt(actualTemplate_);
    const int n = std::min(now.fieldLast, kRowCount - 1);
    std::vector<bool> taken(static_cast<std::size_t>(n) + 1, false);
    if (AppRomLocked && LinkedToNode && device::hasAppRegister(TedsBuf.Family))
        for (int j = 0; j <= n; ++j)
            taken[static_cast<std::size_t>(j)] = now.fields[static_cast<std::size_t>(j)].bitAddress < kBasicTedsBits;
    std::string report;
    std::vector<std::pair<int, std::size_t>> carried;  // new field, old field
    for (std::size_t i = 0; i < names.size(); ++i) {
        int j = 0;
        if (!names[i].empty())
            for (; j <= n; ++j)
                if (!taken[static_cast<std::size_t>(j)] && tagOf(now.fields[static_cast<std::size_t>(j)]) == names[i])
                    break;
        if (!names[i].empty() && j <= n) {
            taken[static_cast<std::size_t>(j)] = true;
            setRowValue(j, values[i]);
            carried.emplace_back(j, i);
        } else {
            report += reportLine(names[i], values[i]);
        }
    }
    updatebuf();
    // A text the new field holds only in part: what it could not take is listed too.
    for (const auto& [j, i] : carried) {
        if (!isTextType(now.fields[static_cast<std::size_t>(j)].typeKeyword))
            continue;
        const std::string& kept = rows[static_cast<std::size_t>(j)].value;
        const std::string& was = values[i];
        if (kept.size() >= was.size() || was.compare(0, kept.size(), kept) != 0)
            continue;
        const std::string lost = was.substr(kept.size());
        if (lost.find_first_not_of(' ') != std::string::npos)
            report += reportLine(names[i], lost);
    }
    if (!report.empty())
        core::MsgBox("Fields not remapped:\r\n" + report);
}

} // namespace editor
