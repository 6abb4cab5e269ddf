// TedsDocument: finding the template of a TEDS, empty TEDS from a template and the
// manufacturer writers.

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/lists/listsstate.h"
#include "core/numeric/numberrules.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "core/teds/memoryfile.h"
#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "editor/model/fieldtypes.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/tedsdocument.h"
#include "editor/model/titlelookup.h"

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

TemplateDialogHook* dialogHook = nullptr;

constexpr int kBasicTedsBits = 64;
constexpr int kIdBits = 14;

// A record that holds no template (the library's spare entry before anything is read).
bool isEmptyRecord(const core::TemplateRecord& t) { return t.fieldLast < 0 && t.selectorLast < 0; }

int toInteger(double v)
{
    if (!std::isfinite(v))
        return 0;
    return core::numeric::CLng(core::numeric::roundHalfEven(v)).value_or(v < 0 ? 0 : 2147483647);
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

ManufacturerLevels& TedsDocument::levels()
{
    const auto* rec = templateAt(actualTemplate_);
    if (levelsTemplate_ != actualTemplate_ || levelsRecord_ != rec) {
        levels_ = rec ? manufacturerLevelsOf(*rec) : ManufacturerLevels{};
        levelsTemplate_ = actualTemplate_;
        levelsRecord_ = rec;
    }
    return levels_;
}

int TedsDocument::manufacturerFromBits()
{
    const auto* rec = templateAt(actualTemplate_);
    const auto& lv = levels();
    int id = 0;
    if (rec && lv.ManuLevelLast >= 0) {
        const auto& f = rec->fields[static_cast<std::size_t>(lv.ManuLevelField[0])];
        if (TedsBuf.holdsBits(f.bitAddress, f.bitCount))
            id = static_cast<int>(std::min<std::uint64_t>(core::Bits2Val(TedsBuf, f.bitAddress, f.bitCount).low64(), 0x7FFFFFFF));
    }
    return id == 0 ? 4096 : id;
}

bool TedsDocument::selectorsMatch(const core::TemplateRecord& t) const
{
    for (int k = 0; k <= t.selectorLast && k < core::kSelectorsMax; ++k) {
        const auto& s = t.selectors[static_cast<std::size_t>(k)];
        if (s.bitAddress + s.width > t.lengthBits || !TedsBuf.holdsBits(s.bitAddress, s.width))
            return false;
        if (core::Bits2Val(TedsBuf, s.bitAddress, s.width) != core::numeric::BigUInt(static_cast<std::uint64_t>(
                                                                  static_cast<std::uint32_t>(s.match))))
            return false;
        if (!(TedsManufacturerId > 1) || TedsBuf.DraftLayout != (t.UTIDT <= 1))
            return false;
    }
    return true;
}

bool TedsDocument::GetTemplate(int& index)
{
    Clearfields();
    core::BytesToBits(TedsBuf);  // the bytes are the truth
    const auto& st = core::tdlState();
    bool matched = false;
    for (index = 0; index <= st.TemplateLast && index < static_cast<int>(st.Templates.size()); ++index) {
        const auto& t = st.Templates[static_cast<std::size_t>(index)];
        if (isEmptyRecord(t) || t.lengthBits > 8 * TedsBuf.Size)
            continue;
        double v = 0;
        std::string text;
        int from = 0;
        TedsManufacturerId = TitleLookup(&t, TedsBuf, Title).find("Manufacture", v, text, from, nullptr) ? toInteger(v) : 0;
        if (selectorsMatch(t)) {
            matched = true;
            break;
        }
    }
    if (!matched) {
        // A node list carries manufacturer id 1 in the 14-bit id of the basic TEDS.
        TedsManufacturerId =
            TedsBuf.holdsBits(0, kIdBits) ? static_cast<int>(core::Bits2Val(TedsBuf, 0, kIdBits).low64()) : 0;
        if (TedsManufacturerId == 1) {
            index = st.TemplateLast + 1;
            actualTemplate_ = index;
            return true;
        }
        index = st.TemplateLast;
        actualTemplate_ = index;
        Title = kTemplateNotFound;
        notifyTexts();
        return false;
    }
    actualTemplate_ = index;
    TedsBuf.TemplateIndex = index;
    FormatFields(index);
    if (dialogHook)
        dialogHook->prepareForTemplate(*this, index, true);
    // Without a MANUFACTURER field the id found by the title lookup stands.
    if (levels().ManuLevelLast >= 0 || TedsManufacturerId == 0)
        TedsManufacturerId = manufacturerFromBits();
    return true;
}

bool TedsDocument::CreateNewTEDS_force(const core::Currency& utid)
{
    const auto& st = core::tdlState();
    for (int t = 0; t <= st.TemplateLast && t < static_cast<int>(st.Templates.size()); ++t) {
        const auto& rec = st.Templates[static_cast<std::size_t>(t)];
        if (isEmptyRecord(rec) || rec.UTID != utid)
            continue;
        TedsBuf.id = ActualNodeID;
        if (dialogHook)
            dialogHook->prepareForTemplate(*this, t, false);
        GetNewTemplate(t);
        return true;
    }
    return false;
}

bool TedsDocument::GetNewTemplate(int t)
{
    const auto* rec = templateAt(t);
    if (!rec || t > core::tdlState().TemplateLast)
        return false;
    const bool draft = rec->UTIDT < 2;
    const bool romLocked = AppRomLocked && LinkedToNode && device::hasAppRegister(TedsBuf.Family);
    std::vector<bool> basic;
    if (romLocked) {
        basic.assign(TedsBuf.Bits.begin(), TedsBuf.Bits.begin() + std::min<std::ptrdiff_t>(kBasicTedsBits, TedsBuf.bitCount()));
        if (draft) {
            core::ShowMessage("It's not possible to change this template to V0.9 format, because the ROM memory is locked",
                              0, "");
            return false;
        }
    }
    if (LinkedToNode && rec->lengthBits > 8 * device::Get_Usable_Bytes(TedsBuf.Family, draft)) {
        core::ShowMessage("Requested TEDS too large for this node - no change made", 0, "");
        return false;
    }
    actualTemplate_ = t;
    TedsBuf.DraftLayout = draft;
    device::Set_Usable_Bytes(TedsBuf);
    // Not a node's memory (a TEDS for a file): a text that runs to the end of the memory
    // gets the bytes a memory file holds.
    if (TedsBuf.Size == 0 && runsToEndOfMemory(*rec))
        TedsBuf.Size = core::kMemoryFileBytes;
    if (8 * TedsBuf.Size < rec->lengthBits)
        TedsBuf.Size = (rec->lengthBits - 1) / 8 + 1;
    TedsBuf.Bytes.assign(static_cast<std::size_t>(TedsBuf.Size) + 1, 0);
    TedsBuf.Bits.assign(static_cast<std::size_t>(TedsBuf.Size) * 8, false);
    TedsBuf.ReadOK = false;
    TedsBuf.TemplateIndex = t;
    NodeIdText = TedsBuf.id.empty() ? std::string(kNoNodeText) : TedsBuf.id;
    Clearfields();
    FormatFields(t);
    for (int k = 0; k <= rec->selectorLast && k < core::kSelectorsMax; ++k) {
        const auto& s = rec->selectors[static_cast<std::size_t>(k)];
        core::Val2Bits(static_cast<std::uint32_t>(s.match), s.bitAddress, s.width, TedsBuf);
    }
    UpdateManufactorBits(-1);
    // The locked basic TEDS stays as the register holds it, manufacturer included.
    if (romLocked) {
        for (std::size_t i = 0; i < basic.size() && i < TedsBuf.Bits.size(); ++i)
            TedsBuf.Bits[i] = basic[i];
        core::BitsToBytes(TedsBuf);
    }
    // The id the TEDS now holds, as a read of it would find.
    if (levels().ManuLevelLast >= 0) {
        TedsManufacturerId = manufacturerFromBits();
    } else {
        const int selected = core::listsState().Manufacturers.ListIndex();
        TedsManufacturerId = selected >= 0 ? idAt(selected) : 0;
        if (TedsManufacturerId == 0)
            TedsManufacturerId = 4096;
    }
    TedsBuf.Status = core::TedsStatusNotRead;
    core::BitsToBytes(TedsBuf);
    ShowForm();
    return true;
}

void TedsDocument::UpdateManufactorBits(int level)
{
    auto& lv = levels();
    const auto* rec = templateAt(actualTemplate_);
    const bool all = level < 0;
    if (all)
        level = 0;
    if (!rec || level > lv.ManuLevelLast)
        return;  // no such level: nothing to write
    const int field = lv.ManuLevelField[static_cast<std::size_t>(level)];
    if (!all && rows[static_cast<std::size_t>(field)].locked) {
        core::ShowMessage("Field is \"read only\", please clear \"read only\" and try again", 0, "");
        return;
    }
    const int selected = core::listsState().Manufacturers.ListIndex();
    const bool fixed = rec->manufacturerInSelector;
    if (level == 0)
        lv.ManuLevelIndex[0] = fixed ? core::ManufacturerIndexFromId(rec->defaultManufacturerId) : selected;
    const bool wasCurrent = gridIsCurrent();
    const int first = all ? 0 : level;
    const int last = all ? lv.ManuLevelLast : level;
    for (int l = first; l <= last; ++l) {
        // A template that fixes its manufacturer keeps it, whatever the list shows.
        if (selected < 0 && !(l == 0 && fixed))
            continue;  // nothing chosen: nothing to write
        const std::int32_t id = (l == 0 && fixed) ? rec->defaultManufacturerId : idAt(selected);
        const auto& f = rec->fields[static_cast<std::size_t>(lv.ManuLevelField[static_cast<std::size_t>(l)])];
        core::Val2Bits(id, f.bitAddress, f.bitCount, TedsBuf);
    }
    keepGridCurrent(wasCurrent);
}

int TedsDocument::updateTAG(const std::string& tagName, const std::string& tagIndex, const std::string& value,
                            bool noValue, std::string* why)
{
    const auto* rec = templateAt(actualTemplate_);
    if (!rec)
        return TagNotFound;
    const std::string name = core::upper(tagName);
    const std::string index = core::upper(tagIndex);
    const int last = std::min(rec->fieldLast, kRowCount - 1);
    int k = 0;
    for (; k <= last; ++k) {
        const auto& f = rec->fields[static_cast<std::size_t>(k)];
        const std::string fieldTag = core::upper(f.tag ? f.tag->name : f.tagName);
        if (!fieldTag.empty() && fieldTag == name && core::upper(f.tagSuffix) == index && !rows[static_cast<std::size_t>(k)].fieldFlag)
            break;
    }
    if (k > last)
        return TagNotFound;
    auto& row = rows[static_cast<std::size_t>(k)];
    row.fieldFlag = true;
    if (noValue)
        return TagAssigned;
    if (name == "MANUFACTURER") {
        long id = core::numeric::CLng(core::numeric::roundHalfEven(core::numeric::leadingNumber(core::trim(value))))
                      .value_or(0);
        if (id == 0)
            id = getManufacturerCode(value);
        if (id < 0)
            return TagManufacturerRefused;  // no manufacturer of that name
        if (rec->manufacturerInSelector && rec->defaultManufacturerId != id && k == rec->manufacturerField)
            return TagManufacturerRefused;
        const auto& f = rec->fields[static_cast<std::size_t>(k)];
        // An id wider than the field would be stored clamped: refused instead.
        if (f.bitCount < 32 && id > (1L << f.bitCount) - 1) {
            if (why)
                *why = "manufacturer id " + std::to_string(id) + " is out of range (0 to " +
                       std::to_string((1L << f.bitCount) - 1) + ")";
            return TagValueRefused;
        }
        const bool wasCurrent = gridIsCurrent();
        core::BytesToBits(TedsBuf);
        core::Val2Bits(static_cast<double>(id), f.bitAddress, f.bitCount, TedsBuf);
        core::BitsToBytes(TedsBuf);
        keepGridCurrent(wasCurrent);
    } else if (const EncodeResult fit = checkRow(k, value); !fit.stored()) {
        // Encoded later, when the node is written: a value the field cannot hold as given
        // is refused now, so that nothing of the request is written.
        if (why)
            *why = fit.reason;
        return TagValueRefused;
    }
    row.value = value;
    notifyTexts();
    return TagAssigned;
}

int TedsDocument::ActualManufactureIndex() const { return core::ManufacturerIndexFromId(TedsManufacturerId); }

} // namespace editor
