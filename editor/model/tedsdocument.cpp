#include "editor/model/tedsdocument.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "device/memimage/familytable.h"
#include "editor/model/fieldtypes.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/titlelookup.h"

#include <algorithm>

namespace editor {

namespace {
constexpr int kBasicTedsRows = 5;
} // namespace

TedsDocument::TedsDocument() { TedsBuf.Status = core::TedsStatusNotRead; }

const core::TemplateRecord* TedsDocument::templateAt(int index) const
{
    const auto& st = core::tdlState();
    if (index < 0 || index >= static_cast<int>(st.Templates.size()))
        return nullptr;
    return &st.Templates[static_cast<std::size_t>(index)];
}

bool TedsDocument::GetTEDSField(const std::string& search, double& fvalue, std::string& ftext, int& ftemplate,
                                int& Manufacture, bool* available)
{
    if (ftemplate == 0)
        ftemplate = actualTemplate_;
    if (available)
        *available = true;
    return TitleLookup(templateAt(actualTemplate_), TedsBuf, Title).find(search, fvalue, ftext, Manufacture, available);
}

bool TedsDocument::GetParam(double& value, std::string& unit)
{
    const auto* rec = hasLibraryTemplate() ? templateAt(actualTemplate_) : nullptr;
    return TitleLookup(rec, TedsBuf, Title).sensitivity(value, unit);
}

int TedsDocument::fieldLast() const
{
    const auto* t = hasLibraryTemplate() ? templateAt(actualTemplate_) : nullptr;
    return t ? std::min(t->fieldLast, kRowCount - 1) : -1;
}

bool TedsDocument::hasLibraryTemplate() const
{
    return actualTemplate_ >= 0 && actualTemplate_ <= core::tdlState().TemplateLast && templateAt(actualTemplate_);
}

const std::string& TedsDocument::shownText(int k) const
{
    const auto& r = rows.at(static_cast<std::size_t>(k));
    return descriptionView_ ? r.description : r.value;
}
std::string TedsDocument::shownTooltip(int k) const
{
    const auto& r = rows.at(static_cast<std::size_t>(k));
    if (descriptionView_)
        return r.value;
    return r.notice.empty() ? r.description : r.notice + "\n" + r.description;
}
const std::string& TedsDocument::nodeIdShown() const { return descriptionView_ ? NodeIdTooltip : NodeIdText; }
const std::string& TedsDocument::nodeIdShownTooltip() const { return descriptionView_ ? NodeIdText : NodeIdTooltip; }
const std::string& TedsDocument::crcShown() const { return descriptionView_ ? CrcTooltip : CrcCaption; }
const std::string& TedsDocument::crcShownTooltip() const { return descriptionView_ ? CrcCaption : CrcTooltip; }

// ----- Editing ---------------------------------------------------------------------

void TedsDocument::setRowValue(int k, const std::string& text) { rows.at(static_cast<std::size_t>(k)).value = text; }

void TedsDocument::setNodeIdText(const std::string& text) { NodeIdText = text; }

void TedsDocument::commitRow(int k, const std::string& text)
{
    if (descriptionView_)
        return;  // the box shows a description: nothing of it reaches the bits
    setRowValue(k, text);
    if (TedsShown)
        updatebuf();
}

// ----- Grid ------------------------------------------------------------------------

void TedsDocument::Clearfields()
{
    for (auto& r : rows) {
        r = TedsRow{};
    }
    TedsShown = false;
    gridCurrent_ = false;
    notifyLayout();
    notifyTexts();
}

void TedsDocument::FormatFields(int templateIndex)
{
    const auto* t = templateAt(templateIndex);
    if (t) {
        int nextGroup = 0;
        const int last = std::min(t->fieldLast, kRowCount - 1);
        for (int k = 0; k <= last; ++k) {
            auto& r = rows[static_cast<std::size_t>(k)];
            r.visible = true;
            r.caption = t->fields[static_cast<std::size_t>(k)].title;
            r.groupGap = false;
            if (nextGroup <= t->groupLast && nextGroup < core::kGroupBreaksMax &&
                t->groupBreaks[static_cast<std::size_t>(nextGroup)] == k) {
                r.groupGap = true;
                ++nextGroup;
            }
        }
    }
    notifyLayout();
    SetLockState(lockState_);
}

void TedsDocument::SetLockState(int state)
{
    lockState_ = state;
    const auto* t = templateAt(actualTemplate_);
    const int last = t ? std::min(t->fieldLast, kRowCount - 1) : -1;
    auto access = [&](int k) { return t->fields[static_cast<std::size_t>(k)].access; };
    if (state == LockReadOnly || state == LockEditing || state == LockDescriptions) {
        NodeIdLocked = state != LockEditing;
        for (int k = 0; k <= last; ++k) {
            bool editable = false;
            if (state == LockReadOnly)
                editable = access(k) == 2;
            else if (state == LockEditing)
                editable = access(k) >= 0 && access(k) <= 2;
            rows[static_cast<std::size_t>(k)].locked = !editable;
        }
    }
    // The basic TEDS of a DS2430A whose application register is locked cannot change.
    if (AppRomLocked && device::hasAppRegister(TedsBuf.Family))
        for (int k = 0; k < kBasicTedsRows; ++k)
            rows[static_cast<std::size_t>(k)].locked = true;
    notifyLocks();
}

void TedsDocument::SwopToolTips()
{
    descriptionView_ = !descriptionView_;
    FormatFields(actualTemplate_);
    notifyTexts();
}

void TedsDocument::setDescriptionView(bool on)
{
    if (on != descriptionView_)
        SwopToolTips();
}

// ----- Display ---------------------------------------------------------------------

Display TedsDocument::ShowForm()
{
    const int id = TedsManufacturerId;
    const int pseudo = core::tdlState().TemplateLast + 1;
    if (id == 1) {
        if (actualTemplate_ <= core::tdlState().TemplateLast) {
            core::MsgBox("Error in nodelist !");
            actualTemplate_ = pseudo;
        }
        display = Display::NodeList;
        TedsShown = true;
        gridCurrent_ = false;
        if (observer_)
            observer_->showNodeList();
    } else if (id == 0 || (id >= 2 && id <= 15)) {
        rows[1].value = kSpecialCaseText;
        rows[1].hasDecoded = false;
        display = Display::SpecialCase;
        TedsShown = false;
        notifyTexts();
    } else if (id >= 17 && id <= kManufacturerIdLast) {
        display = Display::Grid;
        TedsShown = true;
        ShowTeds();
    } else {
        rows[1].value = kNotDefinedText;
        rows[1].hasDecoded = false;
        display = Display::NotDefined;
        TedsShown = false;
        notifyTexts();
    }
    return display;
}

void TedsDocument::ShowTeds()
{
    core::BytesToBits(TedsBuf);
    NodeIdText = TedsBuf.id.empty() ? std::string(kNoNodeText) : TedsBuf.id;
    NodeIdTooltip = "Node ID";
    const auto* t = templateAt(actualTemplate_);
    Title = t ? t->name : std::string();
    const int last = t ? std::min(t->fieldLast, kRowCount - 1) : -1;
    for (int k = 0; k <= last; ++k) {
        const auto& f = t->fields[static_cast<std::size_t>(k)];
        auto& r = rows[static_cast<std::size_t>(k)];
        const FieldType* type = findFieldType(f.typeKeyword);
        if (!type) {
            core::ShowMessage("Unknown type: " + f.typeKeyword, 0, "");
            r.decoded = r.value;  // a pass reports the row only once it is edited
            r.hasDecoded = true;
            continue;
        }
        const FieldContext c{f, k, TedsBuf, Title, &levels()};
        if (auto text = type->decode(c)) {
            r.value = *text;
            r.decoded = *text;
            r.hasDecoded = true;
        } else {
            r.hasDecoded = false;
        }
        if (auto tip = type->tooltip(c))
            r.description = *tip;
    }
    CrcTooltip = "CRC8 of total memory";
    CrcCaption = TedsBuf.Status == core::TedsStatusCrcError ? "Failed" : "OK";

    // The maker's PC adaptor: its switch node is read in analog mode.
    bool adaptor = false;
    if (t && t->name == "Morvelund PC-adaptor with ID and analog control") {
        for (int k = 0; k <= last && !adaptor; ++k)
            adaptor = t->fields[static_cast<std::size_t>(k)].title == "Made possible by" &&
                      rows[static_cast<std::size_t>(k)].value.rfind("Morvelund", 0) == 0;
    }
    if (TedsBuf.id == "9500000001C2EE12")
        core::coreState().SwitchNodeId = "9500000001C2EE12";
    if (adaptor)
        core::coreState().SwitchNodeId = TedsBuf.id;
    markGridCurrent();
    notifyTexts();
}

// ----- Encoding --------------------------------------------------------------------

int TedsDocument::AllocateFieldSize(int field, int bits, int bitsPerChar) const
{
    const auto* t = templateAt(actualTemplate_);
    if (!t || field < 0 || field >= core::kFieldsMax)
        return 0;
    return editor::AllocateFieldSize(TedsBuf, t->fields[static_cast<std::size_t>(field)].bitAddress, bits, bitsPerChar);
}

std::vector<RowFit> TedsDocument::updatebuf()
{
    std::vector<RowFit> problems;
    if (TedsManufacturerId == 1)
        return problems;
    // Only a field grid decoded from these very bytes is encoded; anything else (no match,
    // a failed or virgin read, an unknown file) leaves the bytes as they are.
    if (!TedsShown || display != Display::Grid || !hasLibraryTemplate() || !gridIsCurrent())
        return problems;
    const auto& t = *templateAt(actualTemplate_);
    EncodePass pass;
    pass.serverMode = core::MessagesSuppressed();
    core::BytesToBits(TedsBuf);
    if (NodeIdText != kNoNodeText)
        TedsBuf.id = NodeIdText;
    TedsBuf.DraftLayout = t.UTIDT <= 1;
    TedsBuf.TemplateIndex = actualTemplate_;
    const int last = std::min(t.fieldLast, kRowCount - 1);
    for (int k = 0; k <= last; ++k) {
        auto& r = rows[static_cast<std::size_t>(k)];
        if (r.hasDecoded && r.value == r.decoded)
            continue;  // not edited: the field keeps its bits
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        const FieldType* type = findFieldType(f.typeKeyword);
        if (!type) {
            core::ShowMessage("Field type should not occure " + f.typeKeyword, 0, "");
            continue;
        }
        const EncodeResult result = type->encode(FieldContext{f, k, TedsBuf, Title}, r.value, pass);
        if (result.kept && !result.message.empty() && !result.told)
            core::ShowMessage(result.message, 0, "");
        r.notice.clear();
        if (!result.stored())
            problems.push_back({k, result});
    }
    core::BitsToBytes(TedsBuf);
    ShowForm();
    // What was stored instead is known once the rows show the bits again.
    for (const auto& p : problems) {
        auto& r = rows[static_cast<std::size_t>(p.row)];
        r.notice = p.result.reason + (p.result.kept          ? ", not changed"
                                      : r.value.empty() ? ", an empty text stored"
                                                        : ", " + r.value + " stored");
        if (!pass.serverMode && !p.result.kept && !p.result.told)
            core::ShowMessage(r.notice, 0, "");
    }
    if (!problems.empty())
        notifyTexts();
    return problems;
}

EncodeResult TedsDocument::checkRow(int k, const std::string& text) const
{
    const auto* t = hasLibraryTemplate() ? templateAt(actualTemplate_) : nullptr;
    if (!t || k < 0 || k > std::min(t->fieldLast, kRowCount - 1))
        return EncodeResult{core::ValueFit::Refused, "no such field", true};
    const auto& f = t->fields[static_cast<std::size_t>(k)];
    const FieldType* type = findFieldType(f.typeKeyword);
    if (!type)
        return EncodeResult{core::ValueFit::Refused, "the field's type " + f.typeKeyword + " is not known", true};
    core::TedsBuf scratch = TedsBuf;
    core::BytesToBits(scratch);
    EncodePass pass;
    pass.serverMode = core::MessagesSuppressed();
    pass.requested = true;
    const std::string title = Title;
    return type->encode(FieldContext{f, k, scratch, title}, text, pass);
}

void TedsDocument::buf2byte_OnUsed()
{
    core::BitsToBytes(TedsBuf);
}

// ----- Observer and the grid's bytes ---------------------------------------------------

void TedsDocument::notifyTexts()
{
    if (observer_)
        observer_->textsChanged();
}
void TedsDocument::notifyLayout()
{
    if (observer_)
        observer_->layoutChanged();
}
void TedsDocument::notifyLocks()
{
    if (observer_)
        observer_->locksChanged();
}

void TedsDocument::markGridCurrent()
{
    gridBytes_ = TedsBuf.Bytes;
    gridCurrent_ = true;
}

bool TedsDocument::gridIsCurrent() const { return gridCurrent_ && gridBytes_ == TedsBuf.Bytes; }

void TedsDocument::keepGridCurrent(bool wasCurrent)
{
    if (wasCurrent)
        markGridCurrent();
}

} // namespace editor
