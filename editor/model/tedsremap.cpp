#include "editor/model/tedsremap.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "core/teds/memoryfile.h"
#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "editor/model/tedsdocument.h"

#include <algorithm>
#include <vector>

namespace editor {

namespace {

TemplateDialogHook* dialogHook = nullptr;

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

// The manufacturer id of list position p (0 when there is none).
std::int32_t idAt(int p)
{
    const auto& ids = core::listsState().ManufacturerIds;
    return (p >= 0 && p < static_cast<int>(ids.size())) ? ids[static_cast<std::size_t>(p)] : 0;
}

} // namespace

void setTemplateDialogHook(TemplateDialogHook* hook) { dialogHook = hook; }
TemplateDialogHook* templateDialogHook() { return dialogHook; }

bool TedsRemap::CreateNewTEDS_force(const core::Currency& utid)
{
    const auto& st = core::tdlState();
    for (int t = 0; t <= st.TemplateLast && t < static_cast<int>(st.Templates.size()); ++t) {
        const auto& rec = st.Templates[static_cast<std::size_t>(t)];
        if (TemplateMatcher::isEmptyRecord(rec) || rec.UTID != utid)
            continue;
        doc_.TedsBuf.id = doc_.ActualNodeID;
        if (dialogHook)
            dialogHook->prepareForTemplate(doc_, t, false);
        GetNewTemplate(t);
        return true;
    }
    return false;
}

bool TedsRemap::GetNewTemplate(int t)
{
    const auto* rec = TemplateMatcher::templateAt(t);
    if (!rec || t > core::tdlState().TemplateLast)
        return false;
    const bool draft = rec->UTIDT < 2;
    const bool romLocked = doc_.AppRomLocked && doc_.LinkedToNode && device::hasAppRegister(doc_.TedsBuf.Family);
    std::vector<bool> basic;
    if (romLocked) {
        const auto& bits = doc_.TedsBuf.Bits;
        basic.assign(bits.begin(), bits.begin() + std::min<std::ptrdiff_t>(kBasicTedsBits, doc_.TedsBuf.bitCount()));
        if (draft) {
            core::ShowMessage(
                "It's not possible to change this template to V0.9 format, because the ROM memory is locked", 0, "");
            return false;
        }
    }
    if (doc_.LinkedToNode && rec->lengthBits > 8 * device::Get_Usable_Bytes(doc_.TedsBuf.Family, draft)) {
        core::ShowMessage("Requested TEDS too large for this node - no change made", 0, "");
        return false;
    }
    doc_.setActualTemplate(t);
    doc_.TedsBuf.DraftLayout = draft;
    device::Set_Usable_Bytes(doc_.TedsBuf);
    // Not a node's memory (a TEDS for a file): a text that runs to the end of the memory
    // gets the bytes a memory file holds.
    if (doc_.TedsBuf.Size == 0 && runsToEndOfMemory(*rec))
        doc_.TedsBuf.Size = core::kMemoryFileBytes;
    if (8 * doc_.TedsBuf.Size < rec->lengthBits)
        doc_.TedsBuf.Size = (rec->lengthBits - 1) / 8 + 1;
    doc_.TedsBuf.Bytes.assign(static_cast<std::size_t>(doc_.TedsBuf.Size) + 1, 0);
    doc_.TedsBuf.Bits.assign(static_cast<std::size_t>(doc_.TedsBuf.Size) * 8, false);
    doc_.TedsBuf.ReadOK = false;
    doc_.TedsBuf.TemplateIndex = t;
    doc_.NodeIdText = doc_.TedsBuf.id.empty() ? std::string(kNoNodeText) : doc_.TedsBuf.id;
    doc_.Clearfields();
    doc_.FormatFields(t);
    for (int k = 0; k <= rec->selectorLast && k < core::kSelectorsMax; ++k) {
        const auto& s = rec->selectors[static_cast<std::size_t>(k)];
        core::Val2Bits(static_cast<std::uint32_t>(s.match), s.bitAddress, s.width, doc_.TedsBuf);
    }
    UpdateManufactorBits(-1);
    // The locked basic TEDS stays as the register holds it, manufacturer included.
    if (romLocked) {
        for (std::size_t i = 0; i < basic.size() && i < doc_.TedsBuf.Bits.size(); ++i)
            doc_.TedsBuf.Bits[i] = basic[i];
        core::BitsToBytes(doc_.TedsBuf);
    }
    // The id the TEDS now holds, as a read of it would find.
    if (doc_.levels().ManuLevelLast >= 0) {
        doc_.TedsManufacturerId = doc_.manufacturerFromBits();
    } else {
        const int selected = core::listsState().Manufacturers.ListIndex();
        doc_.TedsManufacturerId = selected >= 0 ? idAt(selected) : 0;
        if (doc_.TedsManufacturerId == 0)
            doc_.TedsManufacturerId = 4096;
    }
    doc_.TedsBuf.Status = core::TedsStatusNotRead;
    core::BitsToBytes(doc_.TedsBuf);
    doc_.ShowForm();
    return true;
}

void TedsRemap::UpdateManufactorBits(int level)
{
    auto& lv = doc_.levels();
    const auto* rec = TemplateMatcher::templateAt(doc_.ActualTemplate());
    const bool all = level < 0;
    if (all)
        level = 0;
    if (!rec || level > lv.ManuLevelLast)
        return;  // no such level: nothing to write
    const int field = lv.ManuLevelField[static_cast<std::size_t>(level)];
    if (!all && doc_.rows[static_cast<std::size_t>(field)].locked) {
        core::ShowMessage("Field is \"read only\", please clear \"read only\" and try again", 0, "");
        return;
    }
    const int selected = core::listsState().Manufacturers.ListIndex();
    const bool fixed = rec->manufacturerInSelector;
    if (level == 0)
        lv.ManuLevelIndex[0] = fixed ? core::ManufacturerIndexFromId(rec->defaultManufacturerId) : selected;
    const bool wasCurrent = doc_.gridIsCurrent();
    const int first = all ? 0 : level;
    const int last = all ? lv.ManuLevelLast : level;
    for (int l = first; l <= last; ++l) {
        // A template that fixes its manufacturer keeps it, whatever the list shows.
        if (selected < 0 && !(l == 0 && fixed))
            continue;  // nothing chosen: nothing to write
        const std::int32_t id = (l == 0 && fixed) ? rec->defaultManufacturerId : idAt(selected);
        const auto& f = rec->fields[static_cast<std::size_t>(lv.ManuLevelField[static_cast<std::size_t>(l)])];
        core::Val2Bits(id, f.bitAddress, f.bitCount, doc_.TedsBuf);
    }
    doc_.keepGridCurrent(wasCurrent);
}

void TedsRemap::Remap_Template(int& t)
{
    const auto& st = core::tdlState();
    const auto* target = TemplateMatcher::templateAt(t);
    if (!target || t > st.TemplateLast)
        return;
    if (doc_.LinkedToNode &&
        target->lengthBits > 8 * device::Get_Usable_Bytes(doc_.TedsBuf.Family, target->UTIDT < 2)) {
        core::MsgBox("Requested TEDS too large for this node - no change made");
        return;
    }
    auto& last = core::coreState().LastRemapTemplate;
    if (t == doc_.ActualTemplate() && last != -1)
        t = last;
    if (t == doc_.ActualTemplate()) {
        core::MsgBox("Source and distination is the same");
        return;
    }
    last = t;

    // The old fields' tags and value texts (never the descriptions of the other view).
    std::vector<std::string> names;
    std::vector<std::string> values;
    if (const auto* old = doc_.hasLibraryTemplate() ? TemplateMatcher::templateAt(doc_.ActualTemplate()) : nullptr) {
        const int f = std::min(old->fieldLast, kRowCount - 1);
        for (int i = 0; i <= f; ++i) {
            names.push_back(tagOf(old->fields[static_cast<std::size_t>(i)]));
            values.push_back(doc_.rows[static_cast<std::size_t>(i)].value);
        }
    }
    if (!GetNewTemplate(t))
        return;

    // Each old field goes to the first new field of its tag not yet taken. A field in the
    // locked basic TEDS of a DS2430A keeps what the register holds.
    const auto& now = *TemplateMatcher::templateAt(doc_.ActualTemplate());
    const int n = std::min(now.fieldLast, kRowCount - 1);
    std::vector<bool> taken(static_cast<std::size_t>(n) + 1, false);
    if (doc_.AppRomLocked && doc_.LinkedToNode && device::hasAppRegister(doc_.TedsBuf.Family))
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
            doc_.setRowValue(j, values[i]);
            carried.emplace_back(j, i);
        } else {
            report += reportLine(names[i], values[i]);
        }
    }
    doc_.updatebuf();
    // A text the new field holds only in part: what it could not take is listed too.
    for (const auto& [j, i] : carried) {
        if (!isTextType(now.fields[static_cast<std::size_t>(j)].typeKeyword))
            continue;
        const std::string& kept = doc_.rows[static_cast<std::size_t>(j)].value;
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
