#include "editor/model/tedsdocument.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "device/memimage/familytable.h"
#include "editor/model/fieldtypes.h"

#include <algorithm>

namespace editor {

TedsDocument::TedsDocument() { TedsBuf.Status = core::TedsStatusNotRead; }

int TedsDocument::fieldLast() const
{
    const auto* t = hasLibraryTemplate() ? templateAt(actualTemplate_) : nullptr;
    return t ? std::min(t->fieldLast, kRowCount - 1) : -1;
}

bool TedsDocument::hasLibraryTemplate() const
{
    return actualTemplate_ >= 0 && actualTemplate_ <= core::tdlState().TemplateLast && templateAt(actualTemplate_);
}

// ----- Editing ---------------------------------------------------------------------

void TedsDocument::setRowValue(int k, const std::string& text) { rows.at(static_cast<std::size_t>(k)).value = text; }

void TedsDocument::setNodeIdText(const std::string& text) { NodeIdText = text; }

void TedsDocument::commitRow(int k, const std::string& text)
{
    if (view_.descriptionView())
        return;  // the box shows a description: nothing of it reaches the bits
    setRowValue(k, text);
    if (TedsShown)
        updatebuf();
}

// ----- Grid ------------------------------------------------------------------------

void TedsDocument::Clearfields()
{
    view_.clear(rows);
    TedsShown = false;
    notifyLayout();
    notifyTexts();
}

void TedsDocument::FormatFields(int templateIndex)
{
    RowDisplay::format(rows, templateAt(templateIndex));
    notifyLayout();
    SetLockState(view_.lockState());
}

void TedsDocument::SetLockState(int state)
{
    const bool basicLocked = AppRomLocked && device::hasAppRegister(TedsBuf.Family);
    view_.lock(rows, NodeIdLocked, templateAt(actualTemplate_), state, basicLocked);
    notifyLocks();
}

void TedsDocument::SwopToolTips()
{
    view_.toggleView();
    FormatFields(actualTemplate_);
    notifyTexts();
}

void TedsDocument::setDescriptionView(bool on)
{
    if (on != view_.descriptionView())
        SwopToolTips();
}

// ----- Matching and display ---------------------------------------------------------

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

bool TedsDocument::GetTemplate(int& index)
{
    Clearfields();
    core::BytesToBits(TedsBuf);  // the bytes are the truth
    const TemplateMatch match = TemplateMatcher(TedsBuf).find(Title);
    index = match.index;
    actualTemplate_ = index;
    TedsManufacturerId = match.manufacturerId;
    if (match.kind == TemplateMatch::NodeList)
        return true;
    if (match.kind == TemplateMatch::None) {
        Title = kTemplateNotFound;
        notifyTexts();
        return false;
    }
    TedsBuf.TemplateIndex = index;
    FormatFields(index);
    if (auto* hook = templateDialogHook())
        hook->prepareForTemplate(*this, index, true);
    // Without a MANUFACTURER field the id found by the title lookup stands.
    if (levels().ManuLevelLast >= 0 || TedsManufacturerId == 0)
        TedsManufacturerId = manufacturerFromBits();
    return true;
}

Display TedsDocument::ShowForm()
{
    const Display shown = TemplateMatcher::displayFor(TedsManufacturerId);
    if (shown == Display::NodeList && actualTemplate_ <= core::tdlState().TemplateLast) {
        core::MsgBox("Error in nodelist !");
        actualTemplate_ = core::tdlState().TemplateLast + 1;
    }
    display = shown;
    TedsShown = shown == Display::NodeList || shown == Display::Grid;
    if (shown == Display::NodeList) {
        view_.forget();
        if (observer_)
            observer_->showNodeList();
    } else if (shown == Display::Grid) {
        ShowTeds();
    } else {
        rows[1].value = shown == Display::SpecialCase ? kSpecialCaseText : kNotDefinedText;
        rows[1].hasDecoded = false;
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
    if (t)
        RowDisplay::decode(rows, *t, TedsBuf, Title, &levels());
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
    view_.markCurrent(TedsBuf.Bytes);
    notifyTexts();
}

int TedsDocument::ActualManufactureIndex() const { return core::ManufacturerIndexFromId(TedsManufacturerId); }

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

// ----- Observer ------------------------------------------------------------------------

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

} // namespace editor
